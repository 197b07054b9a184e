#include "platform/InstallLayout.h"

#include "platform/ProfileFile.h"
#include "platform/UserFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tamisko {
namespace {

QString withSeparator(const QString& dir)
{
    const QString clean = QDir::cleanPath(dir);
    return clean.endsWith(u'/') ? clean : clean + u'/';
}

QString genericConfigDir()
{
    return withSeparator(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

} // namespace

InstallLayout InstallLayout::ofRunningProgram()
{
    return InstallLayout(QCoreApplication::applicationDirPath());
}

InstallLayout::InstallLayout(const QString& executableDir)
    : executableDir_(withSeparator(QDir(executableDir).absolutePath()))
{
    // An install layout beside the executable wins, also for a copy staged inside a build.
    if (QFileInfo(executableDir_ + QStringLiteral("../share/tamisko")).isDir())
        return;
    for (const QString& candidate :
         {executableDir_, withSeparator(executableDir_ + QStringLiteral(".."))}) {
        QFile marker(candidate + QLatin1String(kBuildTreeMarker));
        if (!marker.open(QIODevice::ReadOnly))
            continue;
        buildRoot_ = candidate;
        const QString source = QString::fromUtf8(marker.readLine()).trimmed();
        if (!source.isEmpty())
            sourceRoot_ = withSeparator(source);
        return;
    }
}

QString InstallLayout::dataDir() const
{
    // The build copies the help page beside the program.
    return isBuildTree() ? executableDir_
                         : withSeparator(executableDir_ + QStringLiteral("../share/tamisko"));
}

QString InstallLayout::docDir() const
{
    if (isBuildTree())
        return sourceRoot_.isEmpty() ? buildRoot_ : sourceRoot_;
    return withSeparator(executableDir_ + QStringLiteral("../share/doc/tamisko"));
}

QString InstallLayout::profileDir() const
{
    if (isBuildTree() && QFileInfo(executableDir_).isWritable())
        return executableDir_;
    return userConfigDir();
}

QList<InstallLayout::LegacyProfiles>
InstallLayout::legacyProfiles(const QString& profileFileName) const
{
    if (profileDir() == executableDir_)
        return {};
    // Earlier versions fell back to the folder named after the application's title.
    QList<LegacyProfiles> legacy = {
        {genericConfigDir() + QStringLiteral("Οι ταμίσκες μου/"), {QStringLiteral("*.ini")}, true},
    };
    if (!isBuildTree())
        legacy.append({executableDir_, {profileFileName}, false});
    return legacy;
}

QString InstallLayout::userConfigDir()
{
    return userConfigFolder() + u'/';
}

QStringList moveProfileFiles(const QString& fromDir, const QString& toDir,
                             const QStringList& nameFilters)
{
    QStringList taken;
    const QDir from(fromDir);
    const QDir to(toDir);
    if (!from.exists() || from.canonicalPath() == to.canonicalPath())
        return taken;
    for (const QFileInfo& file : from.entryInfoList(nameFilters, QDir::Files, QDir::Name)) {
        const QString target = to.absoluteFilePath(file.fileName());
        if (QFileInfo::exists(target))
            continue; // what the user has in the new place stays
        if (QFile::rename(file.absoluteFilePath(), target) ||
            QFile::copy(file.absoluteFilePath(), target))
            taken.append(file.fileName());
    }
    return taken;
}

QString preparedProfileDir()
{
    static const QString dir = [] {
        const InstallLayout layout = InstallLayout::ofRunningProgram();
        const QString target = layout.profileDir();
        QDir().mkpath(target);
        const QString fileName = iniFileNameFor(QCoreApplication::applicationFilePath());
        for (const auto& legacy : layout.legacyProfiles(fileName)) {
            moveProfileFiles(legacy.dir, target, legacy.nameFilters);
            if (legacy.removeWhenEmpty)
                QDir().rmdir(legacy.dir); // only succeeds when nothing else is left there
        }
        return target;
    }();
    return dir;
}

} // namespace tamisko
