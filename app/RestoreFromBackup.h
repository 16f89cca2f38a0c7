#pragma once

#include "game/GameInstallation.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"

#include <string>

namespace orvella {

enum class RestoreOutcome {
    Restored,    // the save is the backup again, and the backup is gone
    Declined,    // the user did not confirm; nothing changed
    NotRestored, // the save and the backup are as they were; a message told why
    BackupKept,  // the save is restored, but the backup could not be deleted
};

// Puts the backup that the last conversion made back in place of the save, after asking the user, and
// deletes the backup so that it is restored only once. The backup must pass the checks a conversion makes of
// a save, and the save is held against every other conversion or restore meanwhile, as a conversion holds
// it. Every failure is told in a message box.
RestoreOutcome restoreFromBackup(const GameInstallation& installation, const std::string& saveFileName,
                                 FileSystem& files, MessageBoxes& messages, WindowRef owner);

} // namespace orvella
