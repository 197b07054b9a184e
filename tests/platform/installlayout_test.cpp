#include "platform/InstallLayout.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace tamisko;

namespace {

void writeFile(const QString& path, const QByteArray& bytes = {})
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// A scratch tree with its own configuration home.
class Layout : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        previousConfigHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", path("config").toUtf8());
    }
    void TearDown() override
    {
        if (previousConfigHome.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", previousConfigHome);
    }

    QString path(const QString& relative) const { return root.path() + u'/' + relative; }
    QString dir(const QString& relative) const { return path(relative) + u'/'; }

    QTemporaryDir root;
    QByteArray previousConfigHome;
};

struct Case
{
    const char* name;
    std::vector<const char*> files; // relative to the scratch tree
    const char* executableDir;
    bool buildTree;
    const char* dataDir;
    const char* docDir; // "@source" stands for the source tree named in the marker
    const char* profileDir;
};

TEST_F(Layout, DecidesWhereFilesLiveFromTheExecutablesPlace)
{
    const std::vector<Case> cases = {
        {"installed under a prefix",
         {"prefix/bin/tamisko", "prefix/share/tamisko/Tamisko.html"},
         "prefix/bin",
         false,
         "prefix/share/tamisko",
         "prefix/share/doc/tamisko",
         "config/tamisko"},
        // The writable ~/.local/bin of an installation without data files is no build tree.
        {"a bare copy in a writable bin",
         {"local/bin/tamisko"},
         "local/bin",
         false,
         "local/share/tamisko",
         "local/share/doc/tamisko",
         "config/tamisko"},
        {"the build tree's program",
         {"build/tamisko", "build/tamisko-build-tree"},
         "build",
         true,
         "build",
         "@source",
         "build"},
        {"a test program one level down",
         {"build/tests/t", "build/tamisko-build-tree"},
         "build/tests",
         true,
         "build/tests",
         "@source",
         "build/tests"},
        {"a copy staged inside the build",
         {"build/tamisko-build-tree", "build/stage/bin/tamisko-build-tree",
          "build/stage/share/tamisko/Tamisko.html"},
         "build/stage/bin",
         false,
         "build/stage/share/tamisko",
         "build/stage/share/doc/tamisko",
         "config/tamisko"},
    };
    const QString source = dir("source");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* file : c.files) {
            const QString name = QString::fromUtf8(file);
            writeFile(path(name), name.endsWith(InstallLayout::kBuildTreeMarker)
                                      ? (source + u'\n').toUtf8()
                                      : QByteArray());
        }
        const InstallLayout layout(path(c.executableDir));
        EXPECT_EQ(layout.isBuildTree(), c.buildTree);
        EXPECT_EQ(layout.executableDir(), dir(c.executableDir));
        EXPECT_EQ(layout.dataDir(), dir(c.dataDir));
        EXPECT_EQ(layout.docDir(), std::string(c.docDir) == "@source" ? source : dir(c.docDir));
        EXPECT_EQ(layout.profileDir(), dir(c.profileDir));
        QDir(root.path()).removeRecursively();
        QDir().mkpath(root.path());
    }
}

TEST_F(Layout, LegacyPlacesOnlyForProfilesAwayFromTheExecutable)
{
    writeFile(path("prefix/share/tamisko/Tamisko.html"));
    const auto installed = InstallLayout(path("prefix/bin")).legacyProfiles("Tamisko.ini");
    ASSERT_EQ(installed.size(), 2);
    EXPECT_EQ(installed[0].dir, dir("config/Οι ταμίσκες μου"));
    EXPECT_TRUE(installed[0].removeWhenEmpty);
    EXPECT_EQ(installed[1].dir, dir("prefix/bin"));
    EXPECT_EQ(installed[1].nameFilters, QStringList{"Tamisko.ini"});
    EXPECT_FALSE(installed[1].removeWhenEmpty);

    writeFile(path("build/tamisko-build-tree"));
    EXPECT_TRUE(InstallLayout(path("build")).legacyProfiles("Tamisko.ini").isEmpty());
}

TEST_F(Layout, ProfileFilesMoveWithoutReplacingNewerOnes)
{
    const QString old = dir("config/Οι ταμίσκες μου");
    const QString target = dir("config/tamisko");
    writeFile(old + "Tamisko.ini", "[RecentFiles]\nFile0=/old/a.tmk\n");
    writeFile(old + "Other.ini", "old other");
    writeFile(old + "notes.txt", "not a profile");
    writeFile(target + "Other.ini", "new other");

    EXPECT_EQ(moveProfileFiles(old, target, {"*.ini"}), QStringList{"Tamisko.ini"});
    QFile moved(target + "Tamisko.ini");
    ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
    EXPECT_EQ(moved.readAll(), "[RecentFiles]\nFile0=/old/a.tmk\n");
    EXPECT_FALSE(QFile::exists(old + "Tamisko.ini"));
    QFile kept(target + "Other.ini");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "new other");
    // What was not taken stays where it was.
    EXPECT_TRUE(QFile::exists(old + "Other.ini"));
    EXPECT_TRUE(QFile::exists(old + "notes.txt"));

    EXPECT_TRUE(moveProfileFiles(dir("missing"), target, {"*.ini"}).isEmpty());
    EXPECT_TRUE(moveProfileFiles(target, target, {"*.ini"}).isEmpty());
}

} // namespace
