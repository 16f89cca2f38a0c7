#include "Commands.h"
#include "ConsoleUi.h"
#include "TerminalText.h"
#include "app/ConversionChecks.h"
#include "app/SaveClassification.h"
#include "game/UserTexts.h"
#include "job/PatchJob.h"
#include "job/SaveReading.h"
#include "platform/PathLimit.h"
#include "translate/TableFile.h"

#include <iostream>

namespace orvella::cli {

namespace {

// Replaces the built-in tables with the files present in the folder. A missing folder is refused rather
// than ignored, so a mistyped path never converts with tables the user did not mean.
bool loadTableFolder(std::string folder, TableSet& tables, FileSystem& files) {
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    if (!files.isFolder(folder)) {
        failure("the tables folder " + pathText(folder) + " does not exist");
        return false;
    }
    TableFileError error;
    if (!tables.loadFolder(files, folder, error)) {
        failure(toTerminal(error.message()));
        return false;
    }
    return true;
}

// Shows the log that a dry run kept in memory, with the save's name as the file system's bytes.
void printLog(FileSystem& files, const std::string& path, const std::string& saveFileName) {
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(files, path, bytes)) {
        failure("the log " + pathText(path) + " cannot be read");
        return;
    }
    std::string text = withLineFeeds(std::string(bytes.begin(), bytes.end()));
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    std::cout << "==== the log, as the conversion would keep it ====\n"
              << toTerminal(text, saveFileName) << "==== end of the log ====\n";
}

} // namespace

int convertCommand(const Options& options, FileSystem& files) {
    if (auto exitCode = checkOneSaveName(options))
        return *exitCode;
    if (options.dryRun)
        std::cout << "Dry run: the conversion runs in memory, and nothing is written.\n";
    // Broken tables stop the command before anything is read or written.
    TableSet tables;
    if (options.tables && !loadTableFolder(*options.tables, tables, files))
        return CommandFailed;
    const std::string& saveFileName = options.arguments[0];
    ConsoleMessageBoxes messages;
    messages.setFileName(saveFileName);
    GameInstallation installation;
    if (auto exitCode = startUpWithSave(options, saveFileName, installation, messages, files))
        return *exitCode;

    auto saveInfo = classifySave(files, installation, saveFileName);
    if (!saveInfo)
        return failure(saveFileName + (options.openMw ? " in OpenMW's saves folder is not a saved game"
                                                      : " in the game's Saves folder is not a saved game"));
    // A save that a newer OpenMW wrote is refused before anything is written, its log included.
    if (saveInfo->formatVersion > LatestOpenMwFormatVersion)
        return failure(saveFileName + ": " + toTerminal(texts::openMwFormatTooNew(saveInfo->formatVersion)));
    // The main dialog disables "PATCH" for these saves; the console refuses them the same way.
    if (saveInfo->direction == BetaUnsupported)
        return failure(saveFileName + ": " + toTerminal(texts::patchButtonText(BetaUnsupported)));
    if (!checkConversionPrerequisites(nullptr, *saveInfo, installation, messages))
        return CommandFailed;

    ConsoleProgress progress(stdoutIsTerminal());
    messages.setProgress(&progress);
    PatchJob job;
    job.installation = &installation;
    job.files = &files;
    job.messages = &messages;
    job.progressDialog = &progress;
    if (options.tables)
        job.tables = &tables.tables();
    job.request.saveFileName = saveFileName;
    job.request.saveInfo = *saveInfo;
    job.request.classifyAgain = classifySave;

    // The job ended the live bar's line when it told its outcome.
    PatchResult result = runPatchJob(job);
    if (result.logKept) {
        std::cout << "Log: " << pathText(result.logPath) << "\n";
        if (options.dryRun)
            printLog(files, result.logPath, saveFileName);
    }
    return static_cast<int>(result.exitCode);
}

} // namespace orvella::cli
