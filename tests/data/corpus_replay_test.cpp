// Replays every document of the fuzzing corpus through the reader, so that an input that
// once crashed it stays fixed. Files named valid-* must open and survive a save and a
// reopen unchanged; files named broken-* must be refused with an error; any other file
// (a crash found by the fuzzer) only has to be read without crashing.
#include "data/ByteStream.h"
#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "data/Errors.h"
#include "TestFiles.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace tamisko {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;

std::vector<fs::path> corpusFiles()
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(TAMISKO_TEST_DATA_DIR "/corpus")) {
        if (entry.is_regular_file() && entry.path().filename() != "README.md")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

Bytes payloadOf(DataMod& data)
{
    ByteStream stream;
    WriteDocumentPayload(stream, data.CatTable, data.LogTable);
    return stream.bytes();
}

class CorpusReplay : public ::testing::TestWithParam<fs::path>
{
protected:
    CorpusReplay()
    {
        data.setPasswordPrompt([](std::string& password) {
            password = cp1253::fromUtf8OrThrow("δοκιμή");
            return true;
        });
    }

    DataMod data;
};

TEST_P(CorpusReplay, ReadsWithoutCrashing)
{
    const fs::path file = GetParam();
    const std::string name = file.filename().string();
    bool opened = false;
    try {
        data.OpenDocument(file.string());
        opened = true;
    } catch (const Error& error) {
        EXPECT_FALSE(name.starts_with("valid-")) << error.what();
    }
    if (name.starts_with("broken-")) {
        EXPECT_FALSE(opened) << "a broken document was accepted";
    }
    if (!opened)
        return;

    testing::TempDir dir;
    const Bytes before = payloadOf(data);
    data.SaveDocument(dir.file("again.tmk"));
    DataMod reopened;
    reopened.setPasswordPrompt([&](std::string& password) {
        password = data.DocumentPassword;
        return true;
    });
    reopened.OpenDocument(dir.file("again.tmk"));
    EXPECT_EQ(payloadOf(reopened), before);
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusReplay, ::testing::ValuesIn(corpusFiles()),
                         [](const ::testing::TestParamInfo<fs::path>& info) {
                             std::string name = info.param.stem().string();
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) {
                                     return !std::isalnum(static_cast<unsigned char>(c));
                                 },
                                 '_');
                             return name + "_" + std::to_string(info.index);
                         });

} // namespace
} // namespace tamisko
