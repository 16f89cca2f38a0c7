#include "TerminalText.h"
#include "demo/DemoGame.h"
#include "demo/SaveNames.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "show") {
        std::fputs(orvella::cli::toTerminal(orvella::demo::describeSave(argv[2])).c_str(), stdout);
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: orvella-demo FOLDER     writes a synthetic game folder with an English save\n"
                     "       orvella-demo show SAVE  lists what a conversion changes in a save\n");
        return 2;
    }
    if (!orvella::demo::writeDemoGame(argv[1])) {
        std::fprintf(stderr, "orvella-demo: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s/Saves/%s\n", argv[1], orvella::demo::DemoSaveName);
    return 0;
}
