#include "data/LockFile.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamisko {
namespace {

namespace fs = std::filesystem;

std::string trimmed(std::string text)
{
    const auto isSpace = [](char c) {
        return c == ' ' || c == '\n' || c == '\r' || c == '\t';
    };
    while (!text.empty() && isSpace(text.back()))
        text.pop_back();
    size_t start = 0;
    while (start < text.size() && isSpace(text[start]))
        ++start;
    return text.substr(start);
}

std::string firstLineOf(const char* path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return trimmed(line);
}

std::string machineId()
{
    std::string id = firstLineOf("/etc/machine-id");
    return id.empty() ? firstLineOf("/var/lib/dbus/machine-id") : id;
}

std::string bootId()
{
    return firstLineOf("/proc/sys/kernel/random/boot_id");
}

std::string hostName()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

// The file name of a process's executable; nothing when it cannot be looked at.
std::optional<std::string> executableName(int64_t pid, int& error)
{
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link.c_str(), target, sizeof target);
    if (length <= 0) {
        error = errno;
        return std::nullopt;
    }
    std::string path(target, static_cast<size_t>(length));
    constexpr std::string_view deleted = " (deleted)";
    if (path.ends_with(deleted))
        path.resize(path.size() - deleted.size());
    return fs::path(path).filename().string();
}

bool isProcessRunning(int64_t pid, const std::string& appName)
{
    if (pid <= 0 || pid > INT_MAX)
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) == -1 && errno == ESRCH)
        return false;
    int error = 0;
    const std::optional<std::string> name = executableName(pid, error);
    if (!name) {
        // Another user's process cannot be looked at: it is there, so the lock stands.
        // Any other failure means the process went away meanwhile.
        return error == EACCES || error == EPERM;
    }
    std::error_code ignored;
    fs::path app(appName);
    if (fs::is_symlink(app, ignored))
        app = fs::read_symlink(app, ignored);
    // A process id taken over by another program is not the holder.
    return *name == app.filename().string();
}

bool writeAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

std::string lockFileNameFor(const std::string& bookPath)
{
    const fs::path book(bookPath);
    return (book.parent_path() / ("." + book.filename().string() + ".lock")).string();
}

std::optional<LockOwner> readLockFile(const std::string& lockPath)
{
    std::ifstream in(lockPath, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string lines[5];
    for (std::string& line : lines)
        std::getline(in, line);
    LockOwner owner;
    try {
        size_t used = 0;
        owner.pid = std::stoll(lines[0], &used);
        if (used != lines[0].size() || owner.pid <= 0)
            return std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    }
    owner.appName = lines[1];
    owner.hostName = lines[2];
    owner.machineId = lines[3];
    owner.bootId = lines[4];
    struct stat info
    {};
    if (::stat(lockPath.c_str(), &info) == 0) {
        owner.since = std::chrono::system_clock::time_point(
            std::chrono::duration_cast<std::chrono::system_clock::duration>(
                std::chrono::seconds(info.st_mtim.tv_sec) +
                std::chrono::nanoseconds(info.st_mtim.tv_nsec)));
    }
    return owner;
}

std::string lockFileContents()
{
    int error = 0;
    const int64_t pid = ::getpid();
    return std::to_string(pid) + '\n' + executableName(pid, error).value_or(std::string()) + '\n' +
           hostName() + '\n' + machineId() + '\n' + bootId() + '\n';
}

bool isStale(const LockOwner& owner)
{
    bool sameHost = owner.hostName.empty() || owner.hostName == hostName();
    if (!owner.machineId.empty()) {
        const std::string ours = machineId();
        if (!ours.empty())
            sameHost = ours == owner.machineId;
    }
    if (!sameHost)
        return false;
    if (!owner.bootId.empty() && owner.bootId != bootId())
        return true;
    return !isProcessRunning(owner.pid, owner.appName);
}

LockFile::LockFile(std::string lockPath) : path_(std::move(lockPath)) {}

LockFile::~LockFile()
{
    unlock();
}

LockFile::Result LockFile::create()
{
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno == EEXIST ? Result::HeldByOther : Result::Failed;
    // Keeps a process that misjudges the lock as stale from removing it.
    ::flock(fd, LOCK_EX | LOCK_NB);
    if (!writeAll(fd, lockFileContents())) {
        ::close(fd);
        ::unlink(path_.c_str());
        return Result::Failed;
    }
    ::fdatasync(fd);
    fd_ = fd;
    return Result::Locked;
}

bool LockFile::removeStale()
{
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool removed = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(path_.c_str()) == 0;
    ::close(fd);
    return removed;
}

LockFile::Result LockFile::tryLock()
{
    if (isLocked())
        return Result::Locked;
    const Result result = create();
    if (result != Result::HeldByOther)
        return result;
    const auto holder = owner();
    if (!holder || !isStale(*holder))
        return Result::HeldByOther;
    // Two processes must not both remove it and then both take it.
    LockFile guard(path_ + ".rmlock");
    if (guard.tryLock() != Result::Locked)
        return Result::HeldByOther;
    const auto again = owner();
    if (again && isStale(*again) && removeStale())
        return create();
    return Result::HeldByOther;
}

void LockFile::unlock()
{
    if (fd_ < 0)
        return;
    ::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
}

} // namespace tamisko
