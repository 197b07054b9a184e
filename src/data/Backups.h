#pragma once

#include <chrono>
#include <compare>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tamisko {

// A moment in the user's local time, to the millisecond.
struct LocalTime
{
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    auto operator<=>(const LocalTime&) const = default;
};

LocalTime localTimeOf(std::chrono::system_clock::time_point moment);
LocalTime localTimeNow();

// A backup is named after its book, the moment it was kept and a short digest of the
// book's full path, so that two books of the same name in different folders keep apart:
// "household 2024-05-01 13-45-07.123 1a2b3c4d.tmk".
std::string backupFileName(const std::string& bookPath, const LocalTime& when);
// The moment in the name; nothing when the name is not one of the book's backups.
std::optional<LocalTime> backupTime(const std::string& fileName, const std::string& bookPath);

struct Backup
{
    std::string path;
    LocalTime when;
    uint64_t size = 0;
};

// How many backups of one book are kept: the newest saves, and the newest backup of each
// of the last days (today included).
struct BackupPolicy
{
    int lastSaves = 10;
    int days = 30;
};

// The backups that the policy no longer keeps.
std::vector<std::string> backupsToRemove(std::span<const Backup> backups, const LocalTime& now,
                                         BackupPolicy policy = {});

// The number of movements of a document file when it reads cleanly with the password
// (cp1253; used only when the file is encrypted), nothing otherwise.
std::optional<int> readableMovementCount(const std::string& path, const std::string& password);

// The folder where the bytes a save replaces are kept, readable by the owner only.
class BackupFolder
{
public:
    explicit BackupFolder(std::string folder);

    const std::string& folder() const { return folder_; }

    // Keeps the book's present bytes before a save replaces them; nothing when there is no
    // file yet. Failures raise FileSystemError.
    std::optional<std::string> keep(const std::string& bookPath, const LocalTime& now) const;

    // keep() in two steps, so that a save can write its file while the backup of the one
    // it replaces is being written: the bytes are read before the save (nothing when there
    // is no file yet), then written as the backup (its path returned); FileSystemError on
    // failure. The two may run on different threads.
    struct PresentBytes
    {
        std::string bookPath;
        LocalTime when;
        std::vector<uint8_t> bytes;
    };
    static std::optional<PresentBytes> read(const std::string& bookPath, const LocalTime& now);
    std::string write(const PresentBytes& present) const;
    // The book's backups, newest first.
    std::vector<Backup> list(const std::string& bookPath) const;
    // Removes the backups the policy no longer keeps.
    void rotate(const std::string& bookPath, const LocalTime& now, BackupPolicy policy = {}) const;

private:
    std::string folder_;
};

} // namespace tamisko
