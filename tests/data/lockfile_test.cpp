#include "data/LockFile.h"
#include "TestFiles.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tamisko {
namespace {

using testing::TempDir;

// Another process that takes a lock, reports it through a pipe and then waits until it is
// told to release the lock or is killed.
class LockHolder
{
public:
    explicit LockHolder(const std::string& lockPath)
    {
        int ready[2];
        int release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0)
            throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            LockFile lock(lockPath);
            const char taken = lock.tryLock() == LockFile::Result::Locked ? 'y' : 'n';
            (void)!::write(ready[1], &taken, 1);
            char ignored;
            (void)!::read(release[0], &ignored, 1);
            lock.unlock();
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
    ~LockHolder()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(releaseFd_);
    }

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

class LockFileTest : public ::testing::Test
{
protected:
    TempDir dir;
    std::string lockPath = lockFileNameFor(dir.file("σπίτι.tmk"));
};

TEST_F(LockFileTest, LiesHiddenBesideTheBook)
{
    EXPECT_EQ(lockFileNameFor("/home/maria/σπίτι.tmk"), "/home/maria/.σπίτι.tmk.lock");
}

TEST_F(LockFileTest, IsTakenWrittenAndReleased)
{
    LockFile lock(lockPath);
    ASSERT_EQ(lock.tryLock(), LockFile::Result::Locked);
    const auto owner = readLockFile(lockPath);
    ASSERT_TRUE(owner);
    EXPECT_EQ(owner->pid, ::getpid());
    EXPECT_EQ(owner->appName, "data_lockfile_test");
    EXPECT_FALSE(owner->hostName.empty());
    EXPECT_FALSE(isStale(*owner)) << "this process runs";

    lock.unlock();
    EXPECT_FALSE(std::filesystem::exists(lockPath));
}

TEST_F(LockFileTest, ARunningHolderKeepsItUntilItReleasesIt)
{
    LockHolder holder(lockPath);
    ASSERT_TRUE(holder.locked());

    LockFile lock(lockPath);
    EXPECT_EQ(lock.tryLock(), LockFile::Result::HeldByOther);
    const auto owner = lock.owner();
    ASSERT_TRUE(owner);
    EXPECT_EQ(owner->pid, holder.pid());
    EXPECT_FALSE(isStale(*owner));

    holder.release();
    EXPECT_EQ(lock.tryLock(), LockFile::Result::Locked);
}

TEST_F(LockFileTest, AKilledHoldersLockIsTakenOver)
{
    LockHolder holder(lockPath);
    ASSERT_TRUE(holder.locked());
    const pid_t killed = holder.pid();
    holder.kill();
    ASSERT_TRUE(std::filesystem::exists(lockPath)) << "left behind by the killed process";
    EXPECT_TRUE(isStale(*readLockFile(lockPath)));

    LockFile lock(lockPath);
    EXPECT_EQ(lock.tryLock(), LockFile::Result::Locked);
    EXPECT_NE(readLockFile(lockPath)->pid, killed);
    EXPECT_FALSE(std::filesystem::exists(lockPath + ".rmlock"));
}

struct StaleCase
{
    const char* what;
    bool otherPid;  // a process id that runs no such program
    bool otherHost; // another host name and machine id
    bool otherBoot; // this machine, before its last restart
    bool expectedStale;
};

class LockStaleness : public ::testing::TestWithParam<StaleCase>
{};

TEST_P(LockStaleness, IsJudgedAsQtJudgesIt)
{
    const StaleCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.file("x.lock");
    {
        std::ofstream(path) << lockFileContents();
    }
    LockOwner owner = *readLockFile(path);
    if (c.otherPid)
        owner.appName = "no-such-program";
    if (c.otherHost) {
        owner.hostName = "elsewhere";
        owner.machineId = "00000000000000000000000000000001";
    }
    if (c.otherBoot)
        owner.bootId = "00000000-0000-0000-0000-000000000000";
    EXPECT_EQ(isStale(owner), c.expectedStale) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, LockStaleness,
                         ::testing::Values(StaleCase{"this very process", false, false, false,
                                                     false},
                                           StaleCase{"process id reused", true, false, false, true},
                                           StaleCase{"machine restarted", false, false, true, true},
                                           StaleCase{"another computer", true, true, true, false}));

TEST_F(LockFileTest, AnUnreadableOrHalfWrittenLockIsNotStale)
{
    {
        std::ofstream(lockPath) << "";
    }
    EXPECT_EQ(readLockFile(lockPath), std::nullopt);
    LockFile lock(lockPath);
    EXPECT_EQ(lock.tryLock(), LockFile::Result::HeldByOther);
}

TEST_F(LockFileTest, AFolderThatCannotBeWrittenFails)
{
    LockFile lock(dir.file("missing/folder/.x.lock"));
    EXPECT_EQ(lock.tryLock(), LockFile::Result::Failed);
}

} // namespace
} // namespace tamisko
