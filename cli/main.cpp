#include "Commands.h"
#include "platform/ProcessMemory.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    orvella::prepareAllocatorForConversions();
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    return orvella::cli::runCommandLine(arguments, orvella::nativeFileSystem());
}
