// Runs a fuzz target without libFuzzer: every file of the folders named on the command line is one input, so
// the seeds and the kept findings are checked on every build. A broken property aborts, as under libFuzzer.

#include "gamebuilder/GameBuilder.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    int inputs = 0;
    std::error_code error;
    for (int i = 1; i < argc; ++i)
        for (const auto& entry : std::filesystem::directory_iterator(argv[i], error)) {
            const std::string input = orvella::build::readBytes(entry.path().string());
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
            ++inputs;
        }
    std::printf("%d inputs replayed\n", inputs);
    // A replay with no seed at all has checked nothing.
    return inputs > 0 ? 0 : 1;
}
