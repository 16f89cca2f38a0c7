#include "Commands.h"
#include "ConsoleStartup.h"
#include "ConsoleUi.h"
#include "TerminalText.h"
#include "app/SaveClassification.h"
#include "app/SaveSummary.h"

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

// The box's CR LF line ends become the terminal's own.
std::string withLineFeeds(const std::string& text) {
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            lines += text[i];
    return lines;
}

} // namespace

// The summary of one save as the main dialog shows it when the save is selected: the summary text, then
// the master files under the dialog's "Plugin utilizzati", those missing from "Data Files" marked "**".
int infoCommand(const Options& options) {
    if (options.arguments.size() != 1)
        return usage("info needs exactly one save name");
    if (auto problem = saveNameProblem(options.arguments[0]))
        return usage(*problem);
    ConsoleMessageBoxes messages;
    GameInstallation installation;
    if (auto exitCode = startUp(options, "info", installation, messages))
        return *exitCode;

    const std::string& saveFileName = options.arguments[0];
    auto saveInfo = classifySave(nativeFileSystem(), installation, saveFileName);
    TextSummary summary;
    if (!saveInfo || !showSaveSummary(summary, nativeFileSystem(), installation, saveFileName, *saveInfo)) {
        std::cerr << "orvella-cli: " << toTerminal(saveFileName)
                  << " in the game's Saves folder is not a saved game with a summary\n";
        return 1;
    }
    std::cout << toTerminal(withLineFeeds(summary.text)) << "\n\nPlugin utilizzati:\n";
    for (const std::string& line : summary.masters)
        std::cout << toTerminal(line) << '\n';
    return 0;
}

} // namespace orvella::cli
