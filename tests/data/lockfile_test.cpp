#include "data/LockFile.h"
#include "LockHolderProcess.h"
#include "TestFiles.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tamisko {
namespace {

using testing::TempDir;

// The core's own lock, taken in another process.
class LockHolder : public testing::LockHolderProcess
{
public:
    explicit LockHolder(const std::string& lockPath)
        : LockHolderProcess([lockPath](const std::function<void()>& waitForRelease) {
              LockFile lock(lockPath);
              if (lock.tryLock() != LockFile::Result::Locked)
                  return false;
              waitForRelease();
              return true;
          })
    {}
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
