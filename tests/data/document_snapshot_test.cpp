#include "data/DataMdl.h"
#include "data/DocumentFile.h"
#include "data/DocumentSnapshot.h"
#include "data/FileFingerprint.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace tamisko {
namespace {

using testing::Bytes;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

class DocumentSnapshotTest : public ::testing::TestWithParam<const char*>
{
protected:
    void addMovement(double day, double payment)
    {
        data.LogTable.append();
        data.LogTable.fieldByName("Date").setAsFloat(day);
        data.LogTable.fieldByName("CatNum").setAsInteger(3);
        data.LogTable.fieldByName("Pliromi").setAsFloat(payment);
        data.LogTable.post();
    }

    TempDir dir;
    DataMod data;
};

TEST_P(DocumentSnapshotTest, IsWhatASaveWritesAndLeavesAMovementBeingTypedAlone)
{
    data.NewDocument();
    data.DocumentPassword = GetParam();
    addMovement(45000, 12.5);
    addMovement(45001, 3);

    // A movement being typed: the copy holds the posted ones and the typing goes on.
    data.LogTable.append();
    data.LogTable.fieldByName("Date").setAsFloat(45002);
    const Bytes snapshot = DocumentSnapshot(data);
    EXPECT_EQ(data.LogTable.state(), DataSetState::Insert);
    data.LogTable.cancel();

    data.SaveDocument(dir.file("saved.tmk"));
    EXPECT_EQ(snapshot, readFile(dir.file("saved.tmk")));
}

INSTANTIATE_TEST_SUITE_P(PlainAndProtected, DocumentSnapshotTest, ::testing::Values("", "δοκιμή"));

TEST(FileFingerprintTest, TellsContentChangesFromTouches)
{
    TempDir dir;
    const std::string path = dir.file("book.tmk");
    EXPECT_FALSE(fingerprintFile(path).exists);

    writeFile(path, Bytes{'!', 1, 2});
    const FileFingerprint first = fingerprintFile(path);
    EXPECT_TRUE(first.exists);
    EXPECT_EQ(first.size, 3u);

    writeFile(path, Bytes{'!', 1, 2}); // rewritten with the same bytes
    EXPECT_TRUE(fingerprintFile(path).sameContent(first));
    writeFile(path, Bytes{'!', 1, 3}); // same size, other bytes
    EXPECT_FALSE(fingerprintFile(path).sameContent(first));
    std::filesystem::remove(path);
    EXPECT_FALSE(fingerprintFile(path).sameContent(first));
}

} // namespace
} // namespace tamisko
