#include "data/Backups.h"
#include "data/DocumentFile.h"
#include "TestFiles.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tamisko {
namespace {

using testing::Bytes;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

LocalTime at(int year, int month, int day, int hour = 12, int minute = 0, int second = 0,
             int millisecond = 0)
{
    return {year, month, day, hour, minute, second, millisecond};
}

TEST(BackupNames, CarryTheBookTheMomentAndThePathAndReadBack)
{
    const std::string book = "/home/maria/Έγγραφα/σπίτι 2024.tmk";
    const std::string name = backupFileName(book, at(2024, 5, 1, 13, 45, 7, 123));
    EXPECT_TRUE(name.starts_with("σπίτι 2024 2024-05-01 13-45-07.123 ")) << name;
    EXPECT_TRUE(name.ends_with(".tmk")) << name;

    EXPECT_EQ(backupTime(name, book), at(2024, 5, 1, 13, 45, 7, 123));
    // A book of the same name in another folder has backups of its own.
    EXPECT_EQ(backupTime(name, "/home/nikos/σπίτι 2024.tmk"), std::nullopt);
    EXPECT_EQ(backupTime(name, "/home/maria/Έγγραφα/σπίτι.tmk"), std::nullopt);
}

TEST(BackupNames, OtherFilesAreNotBackups)
{
    const std::string book = "/tmp/household.tmk";
    const std::string good = backupFileName(book, at(2024, 2, 29));
    const std::string digest = good.substr(good.size() - 12, 8);
    for (const std::string& name :
         {std::string("household.tmk"), "household 2024-02-30 12-00-00.000 " + digest + ".tmk",
          "household 2024-02-29 25-00-00.000 " + digest + ".tmk",
          "household 2024-02-29 12-00-00.000 " + digest + ".txt",
          "household 2024-2-29 12-00-00.0000 " + digest + ".tmk",
          "householdX2024-02-29 12-00-00.000 " + digest + ".tmk"})
        EXPECT_EQ(backupTime(name, book), std::nullopt) << name;
}

struct RotationCase
{
    const char* what;
    std::vector<LocalTime> backups;
    LocalTime now;
    std::vector<LocalTime> removed;
};

class BackupRotation : public ::testing::TestWithParam<RotationCase>
{};

std::vector<Backup> backupsAt(const std::vector<LocalTime>& times)
{
    std::vector<Backup> backups;
    for (const LocalTime& time : times)
        backups.push_back({backupFileName("/b/book.tmk", time), time, 1});
    return backups;
}

// Every save of one busy day, then one a day back into the past.
std::vector<LocalTime> busyDayAndDaily()
{
    std::vector<LocalTime> times;
    for (int minute = 0; minute < 15; ++minute)
        times.push_back(at(2024, 3, 31, 10, minute));
    for (int day = 1; day <= 30; ++day)
        times.push_back(at(2024, 3, day, 9));
    for (int day = 1; day <= 29; ++day)
        times.push_back(at(2024, 2, day, 9));
    return times;
}

TEST_P(BackupRotation, KeepsTheLastSavesAndOnePerDay)
{
    const RotationCase& c = GetParam();
    const std::vector<Backup> backups = backupsAt(c.backups);
    std::vector<std::string> removed = backupsToRemove(backups, c.now);
    std::vector<std::string> expected;
    for (const LocalTime& time : c.removed)
        expected.push_back(backupFileName("/b/book.tmk", time));
    std::sort(removed.begin(), removed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(removed, expected) << c.what;
}

std::vector<LocalTime> busyDayRemovals()
{
    std::vector<LocalTime> removed;
    // Of the fifteen saves of the 31st the newest ten stay, and the day's newest anyway.
    for (int minute = 0; minute < 5; ++minute)
        removed.push_back(at(2024, 3, 31, 10, minute));
    // One a day for the 30 days up to the 31st: from 2 March on; the rest is older.
    removed.push_back(at(2024, 3, 1, 9));
    for (int day = 1; day <= 29; ++day)
        removed.push_back(at(2024, 2, day, 9));
    return removed;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BackupRotation,
    ::testing::Values(RotationCase{"nothing to do", {}, at(2024, 1, 1), {}},
                      RotationCase{"ten old saves all stay",
                                   {at(2020, 1, 1), at(2020, 1, 2), at(2020, 1, 3), at(2020, 1, 4),
                                    at(2020, 1, 5), at(2020, 1, 6), at(2020, 1, 7), at(2020, 1, 8),
                                    at(2020, 1, 9), at(2020, 1, 10)},
                                   at(2024, 1, 1),
                                   {}},
                      RotationCase{"the eleventh old save goes",
                                   {at(2020, 1, 1), at(2020, 1, 2), at(2020, 1, 3), at(2020, 1, 4),
                                    at(2020, 1, 5), at(2020, 1, 6), at(2020, 1, 7), at(2020, 1, 8),
                                    at(2020, 1, 9), at(2020, 1, 10), at(2020, 1, 11)},
                                   at(2024, 1, 1),
                                   {at(2020, 1, 1)}},
                      RotationCase{"one a day across a month end and a leap day",
                                   {at(2024, 3, 1, 8), at(2024, 3, 1, 9), at(2024, 2, 29, 8),
                                    at(2024, 2, 29, 9), at(2024, 2, 1, 9), at(2024, 1, 31, 9),
                                    at(2024, 1, 31, 10), at(2024, 3, 2, 1), at(2024, 3, 2, 2),
                                    at(2024, 3, 2, 3), at(2024, 3, 2, 4), at(2024, 3, 2, 5),
                                    at(2024, 3, 2, 6), at(2024, 3, 2, 7), at(2024, 3, 2, 8)},
                                   at(2024, 3, 2, 23),
                                   // 30 days up to 2 March reach back to 2 February.
                                   {at(2024, 2, 29, 8), at(2024, 2, 1, 9), at(2024, 1, 31, 9),
                                    at(2024, 1, 31, 10)}},
                      RotationCase{"a busy day and a month of daily saves", busyDayAndDaily(),
                                   at(2024, 3, 31, 18), busyDayRemovals()}));

class BackupFolderTest : public ::testing::Test
{
protected:
    TempDir dir;
    std::string book = dir.file("household.tmk");
    BackupFolder folder{dir.file("data/backups")};
};

TEST_F(BackupFolderTest, KeepsTheReplacedBytesForTheOwnerOnly)
{
    EXPECT_EQ(folder.keep(book, at(2024, 5, 1)), std::nullopt) << "no file yet, no backup";

    const Bytes old{'*', 1, 2, 3, 4};
    writeFile(book, old);
    const auto backup = folder.keep(book, at(2024, 5, 1, 13, 45, 7, 123));
    ASSERT_TRUE(backup);
    EXPECT_EQ(readFile(*backup), old);
    struct stat info
    {};
    ASSERT_EQ(::stat(backup->c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(folder.folder().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    const auto listed = folder.list(book);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].path, *backup);
    EXPECT_EQ(listed[0].size, old.size());
    EXPECT_EQ(listed[0].when, at(2024, 5, 1, 13, 45, 7, 123));
}

TEST_F(BackupFolderTest, ListsNewestFirstAndRotatesOneBookOnly)
{
    writeFile(book, Bytes{'!'});
    const std::string other = dir.file("other.tmk");
    writeFile(other, Bytes{'!'});
    for (int day = 1; day <= 12; ++day) {
        folder.keep(book, at(2023, 1, day));
        folder.keep(other, at(2023, 1, day));
    }
    folder.rotate(book, at(2024, 1, 1));

    const auto kept = folder.list(book);
    ASSERT_EQ(kept.size(), 10u);
    EXPECT_EQ(kept.front().when, at(2023, 1, 12));
    EXPECT_EQ(kept.back().when, at(2023, 1, 3));
    EXPECT_EQ(folder.list(other).size(), 12u);
}

TEST_F(BackupFolderTest, AFolderThatCannotBeWrittenIsAnError)
{
    writeFile(book, Bytes{'!'});
    writeFile(dir.file("data"), Bytes{'x'}); // a file where the folder should be
    EXPECT_THROW(folder.keep(book, at(2024, 1, 1)), FileSystemError);
}

} // namespace
} // namespace tamisko
