#include "tool/WriteLock.h"

#include "data/Errors.h"

#include <ctime>

namespace tamisko::tool {
namespace {

std::string describe(const LockOwner& owner)
{
    const std::time_t since = std::chrono::system_clock::to_time_t(owner.since);
    std::tm local{};
    ::localtime_r(&since, &local);
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", &local);
    return (owner.appName.empty() ? std::string("a program") : owner.appName) + " (process " +
           std::to_string(owner.pid) + (owner.hostName.empty() ? "" : " on " + owner.hostName) +
           ", since " + when + ")";
}

} // namespace

WriteLock lockForWriting(const std::string& bookPath, const Arguments& arguments)
{
    if (arguments.force)
        return {};
    auto lock = std::make_unique<LockFile>(lockFileNameFor(bookPath));
    switch (lock->tryLock()) {
    case LockFile::Result::Locked:
        return WriteLock(std::move(lock));
    case LockFile::Result::HeldByOther: {
        const auto owner = lock->owner();
        throw Error(bookPath + ": the book is open in " +
                    (owner ? describe(*owner) : std::string("another program")) +
                    "; close it there first, or give --force to write it anyway");
    }
    case LockFile::Result::Failed:
        // The folder cannot be written: the write itself will say so.
        break;
    }
    return {};
}

} // namespace tamisko::tool
