#include "Commands.h"
#include "ConsoleStartup.h"
#include "ConsoleUi.h"
#include "TerminalText.h"
#include "app/ConversionChecks.h"
#include "app/SaveClassification.h"
#include "app/SaveList.h"
#include "app/TooLongPath.h"
#include "job/PatchJob.h"
#include "translate/TableFile.h"

#include <iostream>

namespace orvella::cli {

namespace {

// Replaces the built-in tables with the files present in the folder. A missing folder is refused rather
// than ignored, so a mistyped path never converts with tables the user did not mean.
bool loadTableFolder(std::string folder, TableSet& tables) {
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    FileSystem& files = nativeFileSystem();
    if (!files.exists(folder + "\\*.*")) {
        std::cerr << "orvella-cli: the tables folder " << toTerminal(folder) << " does not exist\n";
        return false;
    }
    TableFileError error;
    if (!tables.loadFolder(files, folder, error)) {
        std::cerr << "orvella-cli: " << toTerminal(error.message()) << "\n";
        return false;
    }
    return true;
}

} // namespace

int convertCommand(const Options& options) {
    if (options.arguments.size() != 1)
        return usage("convert needs exactly one save name");
    if (auto problem = saveNameProblem(options.arguments[0]))
        return usage(*problem);
    // Broken tables stop the command before anything is read or written.
    TableSet tables;
    if (options.tables && !loadTableFolder(*options.tables, tables))
        return 1;
    ConsoleMessageBoxes messages;
    GameInstallation installation;
    if (auto exitCode = startUp(options, "convert", installation, messages))
        return *exitCode;

    const std::string& saveFileName = options.arguments[0];
    auto saveInfo = classifySave(nativeFileSystem(), installation, saveFileName);
    if (!saveInfo) {
        // A path too long to open is named, as the job names the paths it cannot take.
        if (auto tooLong = tooLongPathMessage({installation.installPath + SavesFolder + saveFileName}))
            std::cerr << "orvella-cli: " << toTerminal(*tooLong) << "\n";
        else
            std::cerr << "orvella-cli: " << toTerminal(saveFileName)
                      << " in the game's Saves folder is not a saved game\n";
        return 1;
    }
    // The main dialog disables "PATCH" for these saves; the console refuses them the same way.
    if (saveInfo->direction == BetaUnsupported) {
        std::cerr << "orvella-cli: " << toTerminal(saveFileName) << ": "
                  << toTerminal(patchButtonText(BetaUnsupported)) << "\n";
        return 1;
    }
    if (!checkConversionPrerequisites(nullptr, *saveInfo, installation, messages))
        return 1;

    ConsoleProgress progress(stdoutIsTerminal());
    PatchJob job;
    job.installation = &installation;
    job.files = &nativeFileSystem();
    job.messages = &messages;
    job.progressDialog = &progress;
    if (options.tables)
        job.tables = &tables.tables();
    job.request.saveFileName = saveFileName;
    job.request.saveInfo = *saveInfo;
    job.request.verifySaveInfo = true;
    job.saveInfo = *saveInfo;

    PatchResult result = runPatchJob(job);
    if (result.logKept)
        std::cout << "Log: " << toTerminal(result.logPath) << "\n";
    return static_cast<int>(result.exitCode);
}

} // namespace orvella::cli
