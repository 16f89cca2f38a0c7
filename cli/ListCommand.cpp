#include "Commands.h"
#include "ConsoleStartup.h"
#include "ConsoleUi.h"
#include "TerminalText.h"
#include "app/SaveList.h"

#include <iostream>

namespace orvella::cli {

// One line per save, top row of the main dialog's list first: the "PATCH" button's text, "T", "B" and the
// file name, separated by tabs.
int listCommand(const Options& options) {
    if (!options.arguments.empty())
        return usage("list takes no save name");
    ConsoleMessageBoxes messages;
    GameInstallation installation;
    if (auto exitCode = startUp(options, "list", installation, messages))
        return *exitCode;
    for (const SaveListRow& row : buildSaveList(nativeFileSystem(), installation))
        std::cout << toTerminal(patchButtonText(row.saveInfo.direction)) << '\t'
                  << (row.tribunalMark ? "T" : "") << '\t' << (row.bloodmoonMark ? "B" : "") << '\t'
                  << toTerminal(row.fileName) << '\n';
    return 0;
}

} // namespace orvella::cli
