#include "data/Cp1253.h"
#include "data/DocumentFile.h"
#include "data/Errors.h"
#include "data/FileCipher.h"
#include "TestFiles.h"

#include <csignal>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tamisko {
namespace {

using testing::Bytes;
using ::testing::ElementsAre;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

Bytes somePayload(size_t size = 37)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i * 31 + 5);
    return bytes;
}

Bytes concat(uint8_t marker, const Bytes& payload)
{
    Bytes bytes(payload.size() + 1, marker);
    std::copy(payload.begin(), payload.end(), bytes.begin() + 1);
    return bytes;
}

Bytes encryptedUnder(std::string_view password, const Bytes& payload)
{
    FileCipher cipher;
    cipher.InitKey(password);
    ByteStream source(payload);
    ByteStream destination;
    cipher.EncryptStream(source, destination, source.size());
    return destination.bytes();
}

class DocumentFileTest : public ::testing::Test
{
protected:
    std::string fileName() const { return dir.file("book.tmk"); }

    void save(const Bytes& payload, std::string_view password)
    {
        ByteStream source(payload);
        SaveProtectedStream(source, password, fileName(), &cipher);
    }

    std::optional<ByteStream> load(std::string typedPassword = {})
    {
        return LoadProtectedStream(fileName(), &cipher, [&](std::string& password) {
            ++prompts;
            password = typedPassword;
        });
    }

    TempDir dir;
    FileCipher cipher;
    int prompts = 0;
};

TEST_F(DocumentFileTest, PlainFileIsTheMarkerAndThePayload)
{
    save(somePayload(), "");
    EXPECT_EQ(readFile(fileName()), concat(kPlainMarker, somePayload()));
    const auto payload = load();
    ASSERT_TRUE(payload.has_value());
    EXPECT_EQ(payload->bytes(), somePayload());
    EXPECT_EQ(payload->position(), 0);
    EXPECT_EQ(prompts, 0);
}

TEST_F(DocumentFileTest, ProtectedFileIsTheMarkerAndTheCipherText)
{
    const std::string password = cp1253::fromUtf8OrThrow("κλειδί");
    save(somePayload(), password);
    EXPECT_EQ(readFile(fileName()),
              concat(kEncryptedMarker, encryptedUnder(password, somePayload())));
    const auto payload = load(password);
    ASSERT_TRUE(payload.has_value());
    EXPECT_EQ(payload->bytes(), somePayload());
    EXPECT_EQ(prompts, 1);
}

TEST_F(DocumentFileTest, WithoutACipherThePasswordIsIgnored)
{
    ByteStream source(somePayload());
    SaveProtectedStream(source, "secret", fileName(), nullptr);
    EXPECT_EQ(readFile(fileName()), concat(kPlainMarker, somePayload()));
}

TEST_F(DocumentFileTest, EmptyPayloadWritesNothing)
{
    save({}, "");
    EXPECT_FALSE(std::filesystem::exists(fileName()));
    writeFile(fileName(), {1, 2, 3});
    save({}, "pw");
    EXPECT_EQ(readFile(fileName()), (Bytes{1, 2, 3}));
}

TEST_F(DocumentFileTest, AnyMarkerButThePlainOneIsDecrypted)
{
    // The marker decides, so a plain file never prompts; anything else is taken as encrypted.
    writeFile(fileName(), concat('Z', encryptedUnder("pw", somePayload())));
    const auto payload = load("pw");
    ASSERT_TRUE(payload.has_value());
    EXPECT_EQ(payload->bytes(), somePayload());
    EXPECT_EQ(prompts, 1);
}

TEST_F(DocumentFileTest, CancelledPromptDecryptsWithTheEmptyPassword)
{
    writeFile(fileName(), concat(kEncryptedMarker, encryptedUnder("", somePayload())));
    const auto payload = LoadProtectedStream(fileName(), &cipher, [](std::string&) {});
    ASSERT_TRUE(payload.has_value());
    EXPECT_EQ(payload->bytes(), somePayload());
}

TEST_F(DocumentFileTest, WithoutCallbackAnEncryptedPayloadIsReadAsItIs)
{
    const Bytes cipherText = encryptedUnder("pw", somePayload());
    writeFile(fileName(), concat(kEncryptedMarker, cipherText));
    const auto payload = LoadProtectedStream(fileName(), &cipher, nullptr);
    ASSERT_TRUE(payload.has_value());
    EXPECT_EQ(payload->bytes(), cipherText);
}

TEST_F(DocumentFileTest, ShortAndMissingFiles)
{
    EXPECT_FALSE(load().has_value());

    writeFile(fileName(), {});
    EXPECT_THROW(load(), SilentAbort);

    writeFile(fileName(), {kPlainMarker});
    const auto payload = load();
    ASSERT_TRUE(payload.has_value());
    EXPECT_EQ(payload->size(), 0);
}

TEST_F(DocumentFileTest, UnreadableFileIsAnErrorNamingIt)
{
    std::filesystem::create_directory(fileName());
    try {
        load();
        FAIL() << "a folder read as a document";
    } catch (const SilentAbort&) {
        FAIL() << "a read failure must not be silent";
    } catch (const Error& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("book.tmk"));
    }
}

TEST_F(DocumentFileTest, ReplacingKeepsThePermissionsAndLeavesNoTemporaryFile)
{
    save(somePayload(10), "");
    ::chmod(fileName().c_str(), 0640);
    save(somePayload(20), "");
    EXPECT_EQ(readFile(fileName()), concat(kPlainMarker, somePayload(20)));
    struct stat info
    {};
    ASSERT_EQ(::stat(fileName().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_THAT(dir.entries(), ElementsAre("book.tmk"));
}

TEST_F(DocumentFileTest, SavingThroughASymbolicLinkReplacesTheFileItNames)
{
    const std::string real = dir.file("real.tmk");
    writeFile(real, {1});
    std::filesystem::create_symlink(real, fileName());
    save(somePayload(), "");
    EXPECT_TRUE(std::filesystem::is_symlink(fileName()));
    EXPECT_EQ(readFile(real), concat(kPlainMarker, somePayload()));
}

TEST_F(DocumentFileTest, SaveIntoAMissingFolderFailsWithItsName)
{
    ByteStream source(somePayload());
    const std::string target = dir.file("no-such-folder/book.tmk");
    try {
        SaveProtectedStream(source, "", target, &cipher);
        FAIL() << "saved into a folder that does not exist";
    } catch (const Error& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("book.tmk"));
    }
    EXPECT_TRUE(dir.entries().empty());
}

// Runs a save in a child process whose files may not grow beyond limit bytes, and
// returns the child's exit status: 0 when the save reported an error, 1 when it claimed
// success, anything else when it crashed.
int saveUnderFileSizeLimit(const std::string& fileName, const Bytes& payload, rlim_t limit)
{
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN); // make the write fail with EFBIG instead of killing us
        const rlimit rl{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        try {
            ByteStream source(payload);
            SaveProtectedStream(source, "", fileName, nullptr);
        } catch (const Error&) {
            ::_exit(0);
        }
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST_F(DocumentFileTest, FailedWriteLeavesTheOldFileByteIdentical)
{
    save(somePayload(100), "");
    const Bytes before = readFile(fileName());

    EXPECT_EQ(saveUnderFileSizeLimit(fileName(), somePayload(50000), 4096), 0);

    EXPECT_EQ(readFile(fileName()), before);
    EXPECT_THAT(dir.entries(), ElementsAre("book.tmk"));
}

// The same for a folder the saving user may not write; the super-user, whom folder
// permissions do not bind, saves as "nobody" in a child process.
int saveAsUnprivilegedUser(const std::string& fileName, const Bytes& payload)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        try {
            ByteStream source(payload);
            SaveProtectedStream(source, "", fileName, nullptr);
        } catch (const Error&) {
            ::_exit(0);
        }
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST_F(DocumentFileTest, SaveIntoAReadOnlyFolderLeavesTheOldFileByteIdentical)
{
    save(somePayload(100), "");
    ::chmod(fileName().c_str(), 0666);
    const Bytes before = readFile(fileName());
    ::chmod(dir.path().c_str(), 0555);

    EXPECT_EQ(saveAsUnprivilegedUser(fileName(), somePayload(200)), 0);

    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(readFile(fileName()), before);
    EXPECT_THAT(dir.entries(), ElementsAre("book.tmk"));
}

} // namespace
} // namespace tamisko
