#include "Commands.h"
#include "ConsoleStartup.h"
#include "ConsoleUi.h"
#include "TerminalText.h"
#include "app/RestoreFromBackup.h"

#include <iostream>

namespace orvella::cli {

// Every outcome but a completed restore exits with 1, also a "no" to the question: a script can then tell
// that the save was not put back.
int restoreCommand(const Options& options) {
    if (options.arguments.size() != 1)
        return usage("restore needs exactly one save name");
    if (auto problem = saveNameProblem(options.arguments[0]))
        return usage(*problem);
    ConsoleMessageBoxes messages(options.yes);
    GameInstallation installation;
    if (auto exitCode = startUp(options, "restore", installation, messages))
        return *exitCode;

    const std::string& saveFileName = options.arguments[0];
    switch (restoreFromBackup(installation, saveFileName, nativeFileSystem(), messages, nullptr)) {
    case RestoreOutcome::Restored:
        std::cout << "Restored: " << toTerminal(installation.installPath + SavesFolder + saveFileName)
                  << "\n";
        return 0;
    case RestoreOutcome::Declined:
        std::cerr << "orvella-cli: nothing was changed\n";
        return 1;
    case RestoreOutcome::NotRestored:
    case RestoreOutcome::BackupKept:
        return 1;
    }
    return 1;
}

} // namespace orvella::cli
