#include "Commands.h"
#include "ConsoleUi.h"
#include "TerminalText.h"
#include "job/PatchJob.h"

#include <iostream>

namespace orvella::cli {

namespace {

std::string withoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    return path;
}

} // namespace

int convertCommand(const Options& options) {
    if (!options.game)
        return usage("convert needs --game DIR");
    if (options.arguments.size() != 1)
        return usage("convert needs exactly one save name");
    GameInstallation installation;
    installation.installPath = withoutTrailingSeparator(*options.game);

    ConsoleMessageBoxes messages;
    ConsoleProgress progress(stdoutIsTerminal());
    PatchJob job;
    job.installation = &installation;
    job.files = &nativeFileSystem();
    job.messages = &messages;
    job.progressDialog = &progress;
    job.request.saveFileName = options.arguments[0];
    job.saveInfo = job.request.saveInfo;

    PatchResult result = runPatchJob(job);
    if (result.logKept)
        std::cout << "Log: " << toTerminal(result.logPath) << "\n";
    return static_cast<int>(result.exitCode);
}

} // namespace orvella::cli
