#include "platform/UserFolders.h"

#include <QDir>

namespace tamisko {
namespace {

QString baseFolder(const char* variable, const QString& fallbackUnderHome)
{
    const QString value = qEnvironmentVariable(variable);
    const QString base = !value.isEmpty() && QDir::isAbsolutePath(value)
                             ? value
                             : QDir::homePath() + u'/' + fallbackUnderHome;
    return QDir::cleanPath(base + QStringLiteral("/tamisko"));
}

} // namespace

QString userConfigFolder()
{
    return baseFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

QString userDataFolder()
{
    return baseFolder("XDG_DATA_HOME", QStringLiteral(".local/share"));
}

QString userStateFolder()
{
    // Qt 6.4 has no standard location for state: the variable is read here.
    return baseFolder("XDG_STATE_HOME", QStringLiteral(".local/state"));
}

QString backupFolder()
{
    return userDataFolder() + QStringLiteral("/backups");
}

QString recoveryFolder()
{
    return userStateFolder() + QStringLiteral("/recovery");
}

} // namespace tamisko
