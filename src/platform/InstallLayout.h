#pragma once

#include <QString>
#include <QStringList>

namespace tamisko {

// Where the program finds its own files and keeps the user's, decided from the directory
// of its executable.
//
// An installed program lives below a prefix (PREFIX/bin/tamisko) and follows the desktop's
// conventions: the help page in PREFIX/share/tamisko/, the documents in
// PREFIX/share/doc/tamisko/ and the profile files in $XDG_CONFIG_HOME/tamisko/.
// A build tree is recognised by the marker file that the build writes at its top (beside
// the program, one level above the test programs); it keeps the profile files beside the
// executable, so development runs never touch the user's settings. Without a marker the
// program counts as installed, so a copy in a writable bin/ never writes beside itself.
class InstallLayout
{
public:
    // The marker's name; it holds the path of the source tree on its first line.
    static constexpr char kBuildTreeMarker[] = "tamisko-build-tree";

    // The layout of the running program (needs the application object).
    static InstallLayout ofRunningProgram();
    explicit InstallLayout(const QString& executableDir);

    bool isBuildTree() const { return !buildRoot_.isEmpty(); }

    // Directories with a trailing separator.
    const QString& executableDir() const { return executableDir_; }
    // The help page: share/tamisko/ of the prefix, or the build's top directory.
    QString dataDir() const;
    // README.md and LICENSE: share/doc/tamisko/ of the prefix, or the source tree.
    QString docDir() const;
    // Where the profile files belong (not created here): the executable's directory in a
    // writable build tree, otherwise $XDG_CONFIG_HOME/tamisko/.
    QString profileDir() const;

    // Earlier homes of the profile files, with the file names to take from each.
    struct LegacyProfiles
    {
        QString dir;
        QStringList nameFilters;
        bool removeWhenEmpty = false; // a folder of its own, not the executable's
    };
    // The old fallback folder "~/.config/Οι ταμίσκες μου/" and, for an installed program,
    // the profile file an earlier version left beside the executable.
    QList<LegacyProfiles> legacyProfiles(const QString& profileFileName) const;

    // $XDG_CONFIG_HOME/tamisko/ (by default ~/.config/tamisko/).
    static QString userConfigDir();

private:
    QString executableDir_;
    QString buildRoot_;  // the build's top directory; empty when installed
    QString sourceRoot_; // from the marker; may be empty
};

// Moves the files matching the filters from one directory into another, skipping names
// that already exist there; removes the source directory when it is left empty. A file
// that cannot be moved (a read-only source) is copied. Returns the names taken over.
QStringList moveProfileFiles(const QString& fromDir, const QString& toDir,
                             const QStringList& nameFilters);

// The running program's profile directory, created and, on the first call of a run,
// filled with the files found in the legacy places. With a trailing separator.
QString preparedProfileDir();

} // namespace tamisko
