#include "data/LockFile.h"
#include "data/TestFiles.h"
#include "RunTool.h"

#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

namespace tamisko {
namespace {

using ::testing::HasSubstr;
using testing::readFile;
using testing::runTool;
using testing::TempDir;
using testing::ToolRun;

const std::string kSampleJson = TAMISKO_SAMPLES_DIR "/household-2021-2023.json";
const std::string kPlainSample = TAMISKO_SAMPLES_DIR "/household-2021-2023.tmk";

// A book that this test process holds open, as a running program would.
class ToolLockTest : public ::testing::Test
{
protected:
    ToolRun create(std::vector<std::string> extra = {})
    {
        std::vector<std::string> arguments{"create", kSampleJson, book};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return runTool(arguments);
    }

    TempDir dir;
    std::string book = dir.file("book.tmk");
    std::string lockPath = lockFileNameFor(book);
};

TEST_F(ToolLockTest, CreateRefusesABookARunningProgramHolds)
{
    LockFile held(lockPath);
    ASSERT_EQ(held.tryLock(), LockFile::Result::Locked);

    const ToolRun run = create();
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr(book + ": the book is open in tool_lock_test"));
    EXPECT_THAT(run.err, HasSubstr("process " + std::to_string(::getpid())));
    EXPECT_THAT(run.err, HasSubstr("--force"));
    EXPECT_FALSE(std::filesystem::exists(book));
    EXPECT_EQ(readLockFile(lockPath)->pid, ::getpid()) << "the holder's lock stays";
}

TEST_F(ToolLockTest, ForceWritesAndLeavesTheHoldersLockAlone)
{
    LockFile held(lockPath);
    ASSERT_EQ(held.tryLock(), LockFile::Result::Locked);

    const ToolRun run = create({"--force"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(book), readFile(kPlainSample));
    EXPECT_EQ(readLockFile(lockPath)->pid, ::getpid());
}

TEST_F(ToolLockTest, AFreeOrStaleBookIsWrittenAndLeftUnlocked)
{
    ASSERT_EQ(create().status, 0);
    EXPECT_FALSE(std::filesystem::exists(lockPath));

    // Left behind by a program that is gone: its process id runs another program now.
    {
        std::ofstream(lockPath) << ::getpid() << "\ntamisko\n"
                                << "\n";
    }
    const ToolRun run = create();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(std::filesystem::exists(lockPath));
}

TEST_F(ToolLockTest, ImportRefusesALockedBookButADryRunReadsIt)
{
    ASSERT_EQ(create().status, 0);
    const std::string statement = dir.file("statement.csv");
    std::ofstream(statement) << "Date;Description;Amount\n15/03/2024;Bakery;-4,50\n";
    const auto before = readFile(book);
    LockFile held(lockPath);
    ASSERT_EQ(held.tryLock(), LockFile::Result::Locked);

    const ToolRun refused = runTool({"import", book, statement});
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("--force"));
    EXPECT_EQ(readFile(book), before);

    const ToolRun dryRun = runTool({"import", book, statement, "--dry-run"});
    EXPECT_EQ(dryRun.status, 0) << dryRun.err;
    EXPECT_EQ(nlohmann::json::parse(dryRun.out)["imported"], 1);
    EXPECT_EQ(readFile(book), before);

    const ToolRun forced = runTool({"import", book, statement, "--force"});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_NE(readFile(book), before);
    EXPECT_EQ(readLockFile(lockPath)->pid, ::getpid());
}

TEST_F(ToolLockTest, ReadingCommandsIgnoreTheLock)
{
    ASSERT_EQ(create().status, 0);
    LockFile held(lockPath);
    ASSERT_EQ(held.tryLock(), LockFile::Result::Locked);
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"dump", book}, {"check", book}, {"series", book}}) {
        const ToolRun run = runTool(command);
        EXPECT_EQ(run.status, 0) << command[0] << ": " << run.err;
    }
    EXPECT_EQ(runTool({"dump", book, "--force"}).status, 2) << "only writing commands take it";
}

} // namespace
} // namespace tamisko
