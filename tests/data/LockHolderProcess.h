#pragma once

#include <csignal>
#include <functional>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace tamisko::testing {

// Another process that takes a lock, reports it through a pipe and then holds it until
// it is told to release it or is killed. The lock is taken by a function of the test:
// it returns false when it could not take the lock, and calls waitForRelease while it
// holds it.
class LockHolderProcess
{
public:
    using Holder = std::function<bool(const std::function<void()>& waitForRelease)>;

    explicit LockHolderProcess(const Holder& hold)
    {
        int ready[2];
        int release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0)
            throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            const bool held = hold([&] {
                const char taken = 'y';
                (void)!::write(ready[1], &taken, 1);
                char ignored;
                (void)!::read(release[0], &ignored, 1);
            });
            if (!held) {
                const char failed = 'n';
                (void)!::write(ready[1], &failed, 1);
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        releaseFd_ = release[1];
        char taken = 'n';
        (void)!::read(ready[0], &taken, 1);
        ::close(ready[0]);
        locked_ = taken == 'y';
    }
    ~LockHolderProcess()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(releaseFd_);
    }
    LockHolderProcess(const LockHolderProcess&) = delete;
    LockHolderProcess& operator=(const LockHolderProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool locked() const { return locked_; }
    void release()
    {
        const char go = 'x';
        (void)!::write(releaseFd_, &go, 1);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    void kill()
    {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int releaseFd_ = -1;
    bool locked_ = false;
};

} // namespace tamisko::testing
