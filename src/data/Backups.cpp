#include "data/Backups.h"

#include "data/ByteStream.h"
#include "data/DataMdl.h"
#include "data/DocumentFile.h"
#include "data/FileCipher.h"
#include "data/FileFingerprint.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace tamisko {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kExtension = ".tmk";
// " yyyy-mm-dd hh-mm-ss.mmm 1a2b3c4d.tmk"
constexpr size_t kStampLength = 1 + 10 + 1 + 12;
constexpr size_t kTailLength = kStampLength + 1 + 8 + kExtension.size();

fs::path bookPathFor(const std::string& bookPath)
{
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(fs::absolute(bookPath), error);
    return error ? fs::absolute(bookPath) : canonical;
}

std::string pathDigest(const fs::path& book)
{
    const std::string text = book.string();
    const Sha256Digest digest =
        sha256(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    char hex[9];
    std::snprintf(hex, sizeof hex, "%02x%02x%02x%02x", digest[0], digest[1], digest[2], digest[3]);
    return hex;
}

std::chrono::sys_days dayOf(const LocalTime& time)
{
    return std::chrono::year_month_day(std::chrono::year(time.year),
                                       std::chrono::month(static_cast<unsigned>(time.month)),
                                       std::chrono::day(static_cast<unsigned>(time.day)));
}

std::vector<uint8_t> fileBytes(const std::string& path, bool& exists)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    exists = fd >= 0;
    if (!exists) {
        if (errno == ENOENT)
            return {};
        throw FileSystemError("Cannot open file \"" + path + "\": " + std::strerror(errno));
    }
    std::vector<uint8_t> bytes;
    struct stat status
    {};
    if (::fstat(fd, &status) == 0 && status.st_size > 0)
        reserveLarge(bytes, static_cast<size_t>(status.st_size)); // read without regrowing
    uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            throw FileSystemError("Cannot read file \"" + path + "\": " + std::strerror(error));
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    ::close(fd);
    return bytes;
}

} // namespace

LocalTime localTimeOf(std::chrono::system_clock::time_point moment)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(moment);
    std::tm parts{};
    ::localtime_r(&seconds, &parts);
    const auto sinceSecond = moment - std::chrono::system_clock::from_time_t(seconds);
    int millisecond = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceSecond).count());
    millisecond = std::clamp(millisecond, 0, 999);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
            parts.tm_min,         parts.tm_sec,     millisecond};
}

LocalTime localTimeNow()
{
    return localTimeOf(std::chrono::system_clock::now());
}

std::string backupFileName(const std::string& bookPath, const LocalTime& when)
{
    const fs::path book = bookPathFor(bookPath);
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, " %04d-%02d-%02d %02d-%02d-%02d.%03d ", when.year,
                  when.month, when.day, when.hour, when.minute, when.second, when.millisecond);
    return book.stem().string() + stamp + pathDigest(book) + std::string(kExtension);
}

std::optional<LocalTime> backupTime(const std::string& fileName, const std::string& bookPath)
{
    const fs::path book = bookPathFor(bookPath);
    const std::string prefix = book.stem().string();
    const std::string suffix = " " + pathDigest(book) + std::string(kExtension);
    if (fileName.size() != prefix.size() + kTailLength || !fileName.starts_with(prefix) ||
        !fileName.ends_with(suffix))
        return std::nullopt;
    const std::string stamp = fileName.substr(prefix.size(), kStampLength);
    LocalTime time;
    int used = 0;
    if (std::sscanf(stamp.c_str(), " %4d-%2d-%2d %2d-%2d-%2d.%3d%n", &time.year, &time.month,
                    &time.day, &time.hour, &time.minute, &time.second, &time.millisecond,
                    &used) != 7 ||
        used != static_cast<int>(stamp.size()))
        return std::nullopt;
    const auto date = std::chrono::year_month_day(
        std::chrono::year(time.year), std::chrono::month(static_cast<unsigned>(time.month)),
        std::chrono::day(static_cast<unsigned>(time.day)));
    if (!date.ok() || time.hour > 23 || time.minute > 59 || time.second > 60)
        return std::nullopt;
    return time;
}

std::vector<std::string> backupsToRemove(std::span<const Backup> backups, const LocalTime& now,
                                         BackupPolicy policy)
{
    std::vector<const Backup*> newestFirst;
    for (const Backup& backup : backups)
        newestFirst.push_back(&backup);
    std::stable_sort(newestFirst.begin(), newestFirst.end(),
                     [](const Backup* a, const Backup* b) { return a->when > b->when; });
    const std::chrono::sys_days today = dayOf(now);
    std::map<std::chrono::sys_days, bool> dayTaken;
    std::vector<std::string> removed;
    for (size_t i = 0; i < newestFirst.size(); ++i) {
        const Backup& backup = *newestFirst[i];
        const std::chrono::sys_days day = dayOf(backup.when);
        const bool recentDay = (today - day).count() < policy.days;
        bool keep = static_cast<int>(i) < policy.lastSaves;
        if (recentDay && !dayTaken[day]) {
            // The newest backup of the day stands for that day.
            dayTaken[day] = true;
            keep = true;
        }
        if (!keep)
            removed.push_back(backup.path);
    }
    return removed;
}

std::optional<int> readableMovementCount(const std::string& path, const std::string& password)
{
    try {
        FileCipher cipher;
        std::optional<ByteStream> payload = LoadProtectedStream(
            path, &cipher, [&password](std::string& typed) { typed = password; });
        if (!payload)
            return std::nullopt;
        MemTable categories("CatTable");
        MemTable movements("LogTable");
        DefineCatTable(categories);
        DefineLogTable(movements, categories);
        ReadDocumentPayload(*payload, categories, movements);
        return movements.recordCount();
    } catch (const Error&) {
        return std::nullopt;
    }
}

BackupFolder::BackupFolder(std::string folder) : folder_(std::move(folder)) {}

std::optional<std::string> BackupFolder::keep(const std::string& bookPath,
                                              const LocalTime& now) const
{
    const std::optional<PresentBytes> present = read(bookPath, now);
    if (!present)
        return std::nullopt;
    return write(*present);
}

std::optional<BackupFolder::PresentBytes> BackupFolder::read(const std::string& bookPath,
                                                             const LocalTime& now)
{
    bool exists = false;
    std::vector<uint8_t> bytes = fileBytes(bookPath, exists);
    if (!exists)
        return std::nullopt;
    return PresentBytes{bookPath, now, std::move(bytes)};
}

std::string BackupFolder::write(const PresentBytes& present) const
{
    std::error_code error;
    fs::create_directories(folder_, error);
    if (error)
        throw FileSystemError("Cannot create folder \"" + folder_ + "\": " + error.message());
    ::chmod(folder_.c_str(), 0700);
    const std::string backup =
        (fs::path(folder_) / backupFileName(present.bookPath, present.when)).string();
    ReplaceFileContents(backup, present.bytes, 0600);
    return backup;
}

std::vector<Backup> BackupFolder::list(const std::string& bookPath) const
{
    std::vector<Backup> backups;
    std::error_code error;
    for (fs::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (const auto when = backupTime(name, bookPath); when && it->is_regular_file(error)) {
            std::error_code sizeError;
            const auto size = it->file_size(sizeError);
            backups.push_back({it->path().string(), *when, sizeError ? 0 : size});
        }
    }
    std::sort(backups.begin(), backups.end(),
              [](const Backup& a, const Backup& b) { return a.when > b.when; });
    return backups;
}

void BackupFolder::rotate(const std::string& bookPath, const LocalTime& now,
                          BackupPolicy policy) const
{
    const std::vector<Backup> backups = list(bookPath);
    for (const std::string& path : backupsToRemove(backups, now, policy)) {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
}

} // namespace tamisko
