#include "Commands.h"
#include "ConsoleStartup.h"
#include "ConsoleUi.h"
#include "TerminalText.h"
#include "app/SaveList.h"
#include "game/UserTexts.h"

#include <iostream>

namespace orvella::cli {

// One line per save, top row of the main dialog's list first: the "PATCH" button's text, "T", "B" and the
// file name, separated by tabs. The file name keeps its bytes, so that it can be given back to a command.
int listCommand(const Options& options, FileSystem& files) {
    if (!options.arguments.empty())
        return usage("list takes no save name");
    ConsoleMessageBoxes messages;
    GameInstallation installation;
    if (auto exitCode = startUp(options, installation, messages, files))
        return *exitCode;
    for (const SaveListRow& row : buildSaveList(files, installation))
        std::cout << toTerminal(texts::patchButtonText(row.saveInfo.direction)) << '\t'
                  << (row.marked(Game::Tribunal) ? texts::TribunalMark : "") << '\t'
                  << (row.marked(Game::Bloodmoon) ? texts::BloodmoonMark : "") << '\t' << row.fileName
                  << '\n';
    return 0;
}

} // namespace orvella::cli
