#include "data/LockFile.h"
#include "data/LockHolderProcess.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

namespace tamisko {
namespace {

using testing::LockHolderProcess;

// The program locks books with QLockFile, tamisko-tool with the core's LockFile: each
// must see the other's lock, and take it over once its process is killed.
class LockFileCompatibility : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    std::string lockPath =
        QFile::encodeName(dir.filePath(QStringLiteral(".book.tmk.lock"))).toStdString();
    QString qtLockPath = QFile::decodeName(lockPath.c_str());

    LockHolderProcess::Holder qtHolder() const
    {
        return [path = qtLockPath](const std::function<void()>& wait) {
            QLockFile lock(path);
            lock.setStaleLockTime(0);
            if (!lock.tryLock(0))
                return false;
            wait();
            return true;
        };
    }
    LockHolderProcess::Holder coreHolder() const
    {
        return [path = lockPath](const std::function<void()>& wait) {
            LockFile lock(path);
            if (lock.tryLock() != LockFile::Result::Locked)
                return false;
            wait();
            return true;
        };
    }
};

TEST_F(LockFileCompatibility, TheCoreReadsWhatQLockFileWrites)
{
    LockHolderProcess holder(qtHolder());
    ASSERT_TRUE(holder.locked());

    LockFile lock(lockPath);
    EXPECT_EQ(lock.tryLock(), LockFile::Result::HeldByOther);
    const auto owner = lock.owner();
    ASSERT_TRUE(owner);
    EXPECT_EQ(owner->pid, holder.pid());
    EXPECT_EQ(owner->appName, "platform_lockfile_compat_test");
    EXPECT_FALSE(owner->machineId.empty());
    EXPECT_FALSE(owner->bootId.empty());

    holder.kill();
    EXPECT_TRUE(isStale(*readLockFile(lockPath)));
    EXPECT_EQ(lock.tryLock(), LockFile::Result::Locked);
}

TEST_F(LockFileCompatibility, QLockFileReadsWhatTheCoreWrites)
{
    LockHolderProcess holder(coreHolder());
    ASSERT_TRUE(holder.locked());

    QLockFile lock(qtLockPath);
    lock.setStaleLockTime(0);
    EXPECT_FALSE(lock.tryLock(0));
    EXPECT_EQ(lock.error(), QLockFile::LockFailedError);
    qint64 pid = 0;
    QString host;
    QString application;
    ASSERT_TRUE(lock.getLockInfo(&pid, &host, &application));
    EXPECT_EQ(pid, holder.pid());
    EXPECT_EQ(application, QStringLiteral("platform_lockfile_compat_test"));

    holder.kill();
    EXPECT_TRUE(lock.tryLock(0)) << "a killed holder's lock is stale to Qt too";
}

TEST_F(LockFileCompatibility, BothWriteTheSameLines)
{
    QLockFile qtLock(qtLockPath);
    ASSERT_TRUE(qtLock.tryLock(0));
    QFile file(qtLockPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), lockFileContents());
}

TEST_F(LockFileCompatibility, AReleasedLockIsFreeForTheOther)
{
    LockHolderProcess holder(coreHolder());
    ASSERT_TRUE(holder.locked());
    holder.release();
    QLockFile lock(qtLockPath);
    EXPECT_TRUE(lock.tryLock(0));
}

} // namespace
} // namespace tamisko
