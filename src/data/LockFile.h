#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tamisko {

// Who holds a lock file, as QLockFile records it on Linux: five lines with the process
// id, the file name of the holder's executable, the host name, the machine id and the
// boot id. Files of older writers stop after the host name.
struct LockOwner
{
    int64_t pid = 0;
    std::string appName;
    std::string hostName;
    std::string machineId;
    std::string bootId;
    std::chrono::system_clock::time_point since; // when the lock file was written
};

// The lock file that guards a book: a hidden file beside it, "dir/.name.lock".
std::string lockFileNameFor(const std::string& bookPath);

// Nothing when the file is missing or does not hold a lock owner.
std::optional<LockOwner> readLockFile(const std::string& lockPath);

// The lock file content of this process, in the format above.
std::string lockFileContents();

// True when the owner is known to be gone: it ran on this machine, and either the
// machine has been restarted since or no process of that id runs that program. A lock of
// another machine is never stale, as its process cannot be looked at from here.
bool isStale(const LockOwner& owner);

// A lock file in the format and with the protocol of QLockFile (exclusive creation, a
// BSD lock on the open file, stale locks removed under a ".rmlock" guard), so that
// tamisko-tool and the program keep out of each other's way. Released by unlock() or
// on destruction.
class LockFile
{
public:
    enum class Result
    {
        Locked,
        HeldByOther, // owner() tells who
        Failed       // the folder cannot be written
    };

    explicit LockFile(std::string lockPath);
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    // One attempt without waiting; a stale lock is removed and taken over.
    Result tryLock();
    void unlock();
    bool isLocked() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    std::optional<LockOwner> owner() const { return readLockFile(path_); }

private:
    Result create();
    bool removeStale();

    std::string path_;
    int fd_ = -1;
};

} // namespace tamisko
