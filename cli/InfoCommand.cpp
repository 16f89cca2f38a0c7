#include "Commands.h"
#include "ConsoleUi.h"
#include "TerminalText.h"
#include "app/OpenMwSaveSummary.h"
#include "app/SaveClassification.h"
#include "app/SaveSummary.h"
#include "game/UserTexts.h"

#include <iostream>
#include <vector>

namespace orvella::cli {

namespace {

// The summary area as text: the picture has no place on a terminal.
class TextSummary final : public SummaryView {
public:
    void setSummaryText(const std::string& value) override { text = value; }
    void clearMasterList() override { masters.clear(); }
    void addMasterLine(const std::string& line) override { masters.push_back(line); }
    void setPicture(const SummaryPicture&) override {}
    void clearPicture() override {}

    std::string text;
    std::vector<std::string> masters;
};

// What an OpenMW save's SAVE record tells, under the main dialog's labels where it has them.
int printOpenMwSummary(FileSystem& files, const GameInstallation& installation, const std::string& saveName) {
    const std::optional<OpenMwSaveSummary> summary = readOpenMwSaveSummary(files, installation, saveName);
    if (!summary)
        return failure(saveName + " in OpenMW's saves folder is not a saved game with a summary");
    std::cout << "NomePG: " << utf8ToTerminal(summary->playerName) << "\nLivello: " << summary->level
              << "\nSalvato a: " << utf8ToTerminal(summary->cellName)
              << "\nNome Salvataggio: " << utf8ToTerminal(summary->description) << "\n\n"
              << texts::UsedPluginsHeading << "\n";
    for (const std::string& file : summary->contentFiles)
        std::cout << utf8ToTerminal(file) << '\n';
    return 0;
}

} // namespace

// The summary of one save as the main dialog shows it when the save is selected: the summary text, then
// the master files under the dialog's "Plugin utilizzati", those missing from "Data Files" marked "**".
int infoCommand(const Options& options, FileSystem& files) {
    if (auto exitCode = checkOneSaveName(options))
        return *exitCode;
    const std::string& saveFileName = options.arguments[0];
    ConsoleMessageBoxes messages;
    messages.setFileName(saveFileName);
    GameInstallation installation;
    if (auto exitCode = startUpWithSave(options, saveFileName, installation, messages, files))
        return *exitCode;
    if (options.openMw)
        return printOpenMwSummary(files, installation, saveFileName);

    auto saveInfo = classifySave(files, installation, saveFileName);
    TextSummary summary;
    if (!saveInfo || !showSaveSummary(summary, files, installation, saveFileName, *saveInfo))
        return failure(saveFileName + " in the game's Saves folder is not a saved game with a summary");
    std::cout << toTerminal(withLineFeeds(summary.text)) << "\n\n" << texts::UsedPluginsHeading << "\n";
    for (const std::string& line : summary.masters)
        std::cout << toTerminal(line) << '\n';
    return 0;
}

} // namespace orvella::cli
