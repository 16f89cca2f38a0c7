#include "ConsoleUi.h"
#include "Options.h"
#include "TerminalText.h"
#include "job/PatchJob.h"

#include <cstdio>
#include <iostream>

namespace orvella::cli {
namespace {

constexpr int UsageError = 2;

const char* const HelpText =
    "orvella-cli: converts a Morrowind saved game between the English and the Italian edition.\n"
    "\n"
    "usage:\n"
    "  orvella-cli convert --game DIR NAME.ess\n"
    "      Converts DIR/Saves/NAME.ess in place. The save as it was is kept in\n"
    "      DIR/LRK Saves Backup/NAME.ess.bak; a log of what stayed untranslated is\n"
    "      kept beside the save when journal paragraphs could not be translated.\n"
    "  orvella-cli --help\n"
    "\n"
    "DIR is the game folder, the one that holds \"Data Files\" and \"Saves\".\n"
    "Exit status: 0 when the conversion succeeded, 1 when it did not, 2 for a usage error.\n";

int usage(const std::string& problem) {
    std::cerr << "orvella-cli: " << problem << "\n\n" << HelpText;
    return UsageError;
}

std::string withoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    return path;
}

int convert(const Options& options) {
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

} // namespace
} // namespace orvella::cli

int main(int argc, char** argv) {
    using namespace orvella::cli;
    Options options = parseOptions(argc, argv);
    if (!options.error.empty())
        return usage(options.error);
    if (options.help || options.command == "help") {
        std::cout << HelpText;
        return 0;
    }
    if (options.command == "convert")
        return convert(options);
    if (options.command.empty())
        return usage("no command given");
    return usage("unknown command " + options.command);
}
