#pragma once

#include "app/GameInstallation.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"

#include <string>

namespace orvella {

enum class RestoreOutcome {
    Restored,   // the save is the backup again, and the backup is gone
    Declined,   // the user did not confirm; nothing changed
    CopyFailed, // the save and the backup are as they were
    BackupKept, // the save is restored, but the backup could not be deleted
};

// Puts the backup that the last conversion made back in place of the save, after asking the user, and
// deletes the backup so that it is restored only once. Every failure is told in a message box.
RestoreOutcome restoreFromBackup(const GameInstallation& installation, const std::string& saveFileName,
                                 FileSystem& files, MessageBoxes& messages, WindowRef owner);

} // namespace orvella
