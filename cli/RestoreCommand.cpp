#include "Commands.h"
#include "ConsoleUi.h"
#include "TerminalText.h"
#include "app/RestoreFromBackup.h"
#include "game/SavePaths.h"

#include <iostream>

namespace orvella::cli {

// Every outcome but a completed restore exits with 1, also a "no" to the question: a script can then tell
// that the save was not put back.
int restoreCommand(const Options& options, FileSystem& files) {
    if (auto exitCode = checkOneSaveName(options))
        return *exitCode;
    const std::string& saveFileName = options.arguments[0];
    ConsoleMessageBoxes messages(options.yes);
    messages.setFileName(saveFileName);
    GameInstallation installation;
    if (auto exitCode = startUpWithSave(options, saveFileName, installation, messages, files))
        return *exitCode;
    // Asking first would only lead to a failed copy.
    const SavePaths paths(installation, saveFileName);
    if (!files.exists(paths.backup))
        return failure("no backup to restore: " + pathText(paths.backup));

    switch (restoreFromBackup(installation, saveFileName, files, messages, nullptr)) {
    case RestoreOutcome::Restored:
        std::cout << "Restored: " << pathText(paths.save) << "\n";
        return 0;
    case RestoreOutcome::Declined:
        return failure("nothing was changed");
    case RestoreOutcome::NotRestored:
    case RestoreOutcome::BackupKept:
        return CommandFailed;
    }
    return CommandFailed;
}

} // namespace orvella::cli
