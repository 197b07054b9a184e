#pragma once

#include <QString>

namespace tamisko {

// The user's folders of an installed program on Linux (the XDG base directories):
// $XDG_CONFIG_HOME/tamisko for its settings, $XDG_DATA_HOME/tamisko for what the program keeps for the user (backups), and
// $XDG_STATE_HOME/tamisko for what only the program itself needs again (recovery
// copies). A variable that is unset, empty or not an absolute path gives the default,
// ~/.config, ~/.local/share and ~/.local/state. No folder is created here.
QString userConfigFolder();
QString userDataFolder();
QString userStateFolder();

// The backups of saved books, and the recovery copies of unsaved changes.
QString backupFolder();
QString recoveryFolder();

} // namespace tamisko
