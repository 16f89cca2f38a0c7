#include "cli/TerminalText.h"
#include "demo/SaveNames.h"
#include "gamebuilder/DemoGame.h"
#include "platform/FileSystem.h"

#include <cstdio>
#include <string>

namespace {

const char* const Usage =
    "usage: orvella-demo FOLDER     writes a synthetic game folder with an English save, and an\n"
    "                               English OpenMW save with the openmw.cfg that finds it\n"
    "       orvella-demo show SAVE  lists what a conversion changes in a save\n";

} // namespace

int main(int argc, char** argv) {
    // An option is never taken for a folder to write or a save to read.
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (argument.size() > 1 && argument[0] == '-') {
            std::fprintf(stderr, "orvella-demo: unknown option %s\n%s", argv[i], Usage);
            return 2;
        }
    }
    if (argc == 3 && std::string(argv[1]) == "show") {
        std::fputs(orvella::cli::toTerminal(orvella::demo::describeSave(argv[2])).c_str(), stdout);
        return 0;
    }
    if (argc != 2) {
        std::fputs(Usage, stderr);
        return 2;
    }
    if (!orvella::demo::writeDemoGame(orvella::nativeFileSystem(), argv[1]) ||
        !orvella::demo::writeDemoOpenMwGame(orvella::nativeFileSystem(), argv[1])) {
        std::fprintf(stderr, "orvella-demo: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s/Saves/%s\n%s/%s/saves/Nerevar/Demo.omwsave\n", argv[1], orvella::demo::DemoSaveName,
                argv[1], orvella::demo::DemoOpenMwUserData);
    return 0;
}
