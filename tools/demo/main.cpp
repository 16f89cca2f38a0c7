#include "demo/DemoGame.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvella-demo FOLDER\nWrites a synthetic game folder with an English save.\n");
        return 2;
    }
    if (!orvella::demo::writeDemoGame(argv[1])) {
        std::fprintf(stderr, "orvella-demo: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s/Saves/%s\n", argv[1], orvella::demo::DemoSaveName);
    return 0;
}
