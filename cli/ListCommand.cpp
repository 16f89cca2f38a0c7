#include "Commands.h"
#include "ConsoleStartup.h"
#include "ConsoleUi.h"
#include "TerminalText.h"
#include "app/OpenMwSaveList.h"
#include "app/SaveClassification.h"
#include "app/SaveList.h"
#include "game/UserTexts.h"

#include <iostream>

namespace orvella::cli {

namespace {

// OpenMW's saves as its load menu lists them, each named CHARACTER/SLOT; a file that is no save is left out.
std::vector<SaveListRow> openMwSaveList(FileSystem& files, const GameInstallation& installation) {
    std::vector<SaveListRow> rows;
    for (const OpenMwCharacter& character :
         listOpenMwSaves(files, installation.userDataFolder + OpenMwSavesFolder).characters)
        for (const OpenMwSlot& slot : character.slots) {
            const std::string name = character.name + "/" + slot.fileName;
            if (auto info = classifySave(files, installation, name))
                rows.push_back({name, *info});
        }
    return rows;
}

} // namespace

// One line per save, top row of the main dialog's list first: the "PATCH" button's text, "T", "B" and the
// file name, separated by tabs. The file name keeps its bytes, so that it can be given back to a command.
int listCommand(const Options& options, FileSystem& files) {
    if (!options.arguments.empty())
        return usage("list takes no save name");
    ConsoleMessageBoxes messages;
    GameInstallation installation;
    if (auto exitCode = startUp(options, installation, messages, files))
        return *exitCode;
    for (const SaveListRow& row :
         options.openMw ? openMwSaveList(files, installation) : buildSaveList(files, installation))
        std::cout << toTerminal(texts::patchButtonText(row.saveInfo.direction)) << '\t'
                  << (row.marked(Game::Tribunal) ? texts::TribunalMark : "") << '\t'
                  << (row.marked(Game::Bloodmoon) ? texts::BloodmoonMark : "") << '\t' << row.fileName
                  << '\n';
    return 0;
}

} // namespace orvella::cli
