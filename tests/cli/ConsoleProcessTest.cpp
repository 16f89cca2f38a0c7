// orvella-cli run as a player runs it, in processes of its own: two conversions of one save started at the
// same moment.

#include "TestFolder.h"
#include "gamebuilder/DemoGame.h"
#include "gamebuilder/GameBuilder.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvella {
namespace {

using build::readBytes;

struct CliRun {
    int exitCode = -1;
    std::string output; // stdout and stderr together
};

// Starts "orvella-cli convert" of the game's demo save in this many processes, each held at a gate until all
// exist so that they start together, and waits for all of them.
std::vector<CliRun> convertTogether(const test::TestFolder& folder, std::string game, int count) {
    int gate[2];
    if (pipe(gate) != 0)
        return {};
    std::string arguments[] = {ORVELLA_CLI, "convert", "--game", game, demo::DemoSaveName};
    char* argv[] = {arguments[0].data(), arguments[1].data(), arguments[2].data(),
                    arguments[3].data(), arguments[4].data(), nullptr};
    std::vector<CliRun> runs(count);
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const std::string output = folder.file("output-" + std::to_string(i));
        children.push_back(fork());
        if (children.back() == 0) {
            ::close(gate[1]);
            char opened;
            // Returns when the parent closes the gate.
            while (read(gate[0], &opened, 1) < 0) {
            }
            int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out < 0 || dup2(out, 1) < 0 || dup2(out, 2) < 0)
                _exit(126);
            execv(argv[0], argv);
            _exit(127);
        }
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (int i = 0; i < count; ++i) {
        int status = 0;
        if (children[i] > 0 && waitpid(children[i], &status, 0) == children[i] && WIFEXITED(status))
            runs[i].exitCode = WEXITSTATUS(status);
        runs[i].output = readBytes(folder.file("output-" + std::to_string(i)));
    }
    return runs;
}

// Whichever takes the save first converts it; the other fails at once, saying so, also when it finds the
// save already converted by the first. When the first is done before the second even looks at the save,
// the second converts the conversion back, as any later run would.
TEST(ConsoleProcessTest, TwoConversionsStartedTogetherLeaveOneWholeConversionAndTheOriginalAsBackup) {
    test::TestFolder folder;
    const std::string game = folder.file("game"), save = game + "/Saves/" + demo::DemoSaveName;
    const std::string backup = game + "/LRK Saves Backup/" + demo::DemoSaveName + ".bak";
    ASSERT_TRUE(demo::writeDemoGame(nativeFileSystem(), game));
    const std::string original = readBytes(save);
    ASSERT_EQ(convertTogether(folder, game, 1)[0].exitCode, 0);
    const std::string converted = readBytes(save);
    ASSERT_EQ(convertTogether(folder, game, 1)[0].exitCode, 0);
    const std::string convertedBack = readBytes(save);
    ASSERT_NE(converted, original);

    int overlapped = 0;
    for (int round = 0; round < 20 && !HasFailure(); ++round) {
        build::writeBytes(save, original);
        std::filesystem::remove(backup);
        const std::vector<CliRun> runs = convertTogether(folder, game, 2);
        ASSERT_EQ(runs.size(), 2u);
        const std::string what = "round " + std::to_string(round) + ":\n" + runs[0].output + runs[1].output;
        const int failed = (runs[0].exitCode == 1) + (runs[1].exitCode == 1);
        ASSERT_TRUE(failed <= 1 && failed + (runs[0].exitCode == 0) + (runs[1].exitCode == 0) == 2) << what;
        EXPECT_TRUE(readBytes(save) == (failed ? converted : convertedBack) &&
                    readBytes(backup) == (failed ? original : converted))
            << what;
        const std::string& loser = runs[runs[0].exitCode == 1 ? 0 : 1].output;
        EXPECT_TRUE(!failed || loser.find("in uso da un'altra conversione. Cambiamenti non apportati.") !=
                                   std::string::npos)
            << what;
        overlapped += failed;
        for (const char* inner : {"/Saves", "/LRK Saves Backup"})
            for (const auto& entry : std::filesystem::directory_iterator(game + inner))
                EXPECT_NE(entry.path().extension(), ".tmp") << what;
    }
    EXPECT_GT(overlapped, 0) << "the conversions never ran at the same time";
}

} // namespace
} // namespace orvella
