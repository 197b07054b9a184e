#include "platform/ProfileFile.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

using namespace tamisko;

namespace {

QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void writeAll(const QString& path, const QString& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

} // namespace

class Profile : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("Tamisko.ini");
    ProfileFile profile{path};
};

TEST_F(Profile, KeysAndValuesStayLiteral)
{
    EXPECT_TRUE(profile.writeString("TMainForm", "NormPos(1024x768)", "10,20,300,400"));
    EXPECT_TRUE(profile.writeString("RecentFiles", "File0", "/home/χρήστης/a b\\c.tmk"));
    EXPECT_EQ(readAll(path), "[TMainForm]\nNormPos(1024x768)=10,20,300,400\n\n"
                             "[RecentFiles]\nFile0=/home/χρήστης/a b\\c.tmk\n");
    EXPECT_EQ(profile.readString("TMainForm", "NormPos(1024x768)"), "10,20,300,400");
    EXPECT_EQ(profile.readString("recentfiles", "FILE0"), "/home/χρήστης/a b\\c.tmk");
}

TEST_F(Profile, WritesLeaveOtherSectionsAndLinesAlone)
{
    writeAll(path, "; comment\r\n[TEuroForm]\r\nedVal_Value=10.5\r\n\r\n[RecentFiles]\r\n"
                   "File0=a\r\nFile1=b\r\n\r\n[Other]\r\nx = 1\r\n");
    EXPECT_TRUE(profile.writeString("RecentFiles", "File1", "c"));
    EXPECT_TRUE(profile.writeString("RecentFiles", "File2", "d"));
    EXPECT_EQ(readAll(path), "; comment\n[TEuroForm]\nedVal_Value=10.5\n\n[RecentFiles]\n"
                             "File0=a\nFile1=c\nFile2=d\n\n[Other]\nx = 1\n");
    EXPECT_EQ(profile.readInteger("Other", "x", 0), 1);
}

TEST_F(Profile, SectionKeysAndErase)
{
    writeAll(path, "[RecentFiles]\nFile0=a\nFile7=b\nstray line\n[X]\nk=v\n");
    EXPECT_EQ(profile.readSectionKeys("RecentFiles"), QStringList({"File0", "File7"}));
    EXPECT_TRUE(profile.readSectionKeys("Missing").isEmpty());
    EXPECT_TRUE(profile.eraseSection("RecentFiles"));
    EXPECT_EQ(readAll(path), "[X]\nk=v\n");
}

TEST_F(Profile, IntegersAndDefaults)
{
    EXPECT_EQ(profile.readInteger("S", "n", 42), 42); // no file yet
    EXPECT_TRUE(profile.writeInteger("S", "n", -7));
    EXPECT_TRUE(profile.writeString("S", "word", "True"));
    EXPECT_EQ(profile.readInteger("S", "n", 42), -7);
    EXPECT_EQ(profile.readInteger("S", "word", 42), 42);
    EXPECT_EQ(profile.readString("S", "none", "default"), "default");
}

TEST_F(Profile, TwoProfilesOnOneFileKeepEachOthersSections)
{
    ProfileFile other(path);
    EXPECT_TRUE(profile.writeString("TMainForm", "ShowCmd", "1"));
    EXPECT_TRUE(other.writeString("RecentFiles", "File0", "a"));
    EXPECT_TRUE(profile.writeString("TMainForm", "Visible", "1"));
    EXPECT_EQ(other.readString("TMainForm", "ShowCmd"), "1");
    EXPECT_EQ(profile.readString("RecentFiles", "File0"), "a");
}

TEST_F(Profile, UnwritablePlaceReportsFailure)
{
    ProfileFile nowhere(dir.filePath("missing/dir/Tamisko.ini"));
    EXPECT_FALSE(nowhere.writeString("S", "k", "v"));
    EXPECT_TRUE(nowhere.read().has_value()); // a missing file reads as empty
}

TEST(ProfileNames, CapitalizeFirst)
{
    const std::pair<QString, QString> cases[] = {
        {"", ""},         {"tamisko", "Tamisko"}, {"TAMISKO", "Tamisko"}, {"Tamisko", "Tamisko"},
        {"1abc", "1abc"}, {"ΤΑΜΊΣΚΟ", "ΤΑΜΊΣΚΟ"}, // only A to Z change
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(CapitalizeFirst(text), expected) << text.toStdString();
}

TEST(ProfileNames, IniFileNameFromTheExecutableName)
{
    const std::pair<QString, QString> cases[] = {
        {"/opt/Apps/tamisko", "Tamisko.ini"},
        {"/opt/Apps/TAMISKO.EXE", "Tamisko.ini"},
        {"/usr/My.Dir/tamisko", "Tamisko.ini"}, // a dot in a folder is not an extension
        {"tamisko.bin", "Tamisko.ini"},
    };
    for (const auto& [exe, expected] : cases)
        EXPECT_EQ(iniFileNameFor(exe), expected) << exe.toStdString();
}

TEST(ProfileNames, ProfileDirIsWritableWithTrailingSeparator)
{
    const QString dir = ProfileDir();
    EXPECT_TRUE(dir.endsWith('/'));
    EXPECT_TRUE(GetIniFileName().startsWith(dir));
    EXPECT_TRUE(GetExeDir().endsWith('/'));
}
