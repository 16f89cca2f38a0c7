#include "TestFolder.h"
#include "gamebuilder/DemoGame.h"
#include "gamebuilder/GameBuilder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::readBytes;

struct CliRun {
    int exitCode;
    std::string output; // stdout and stderr together
};

// Converts the game's demo save in this many orvella-cli processes, each held at a gate (a pipe that closes a
// moment after they were all started) so that they start together.
std::vector<CliRun> convertTogether(const test::TestFolder& folder, const std::string& game, int count) {
    const std::string command =
        "cd '" + folder.path() + "' && sleep 0.05 | { for i in $(seq " + std::to_string(count) +
        "); do (read gate <&3; '" ORVELLA_CLI "' convert --game '" + game + "' " + demo::DemoSaveName +
        " >output$i 2>&1; echo $? >status$i) & done; wait; } 3<&0";
    if (std::system(command.c_str()) != 0)
        return {};
    std::vector<CliRun> runs;
    for (int i = 1; i <= count; ++i)
        runs.push_back({std::atoi(readBytes(folder.file("status" + std::to_string(i))).c_str()),
                        readBytes(folder.file("output" + std::to_string(i)))});
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
        EXPECT_EQ(what.find("in uso da un'altra") != std::string::npos, failed == 1) << what;
        overlapped += failed;
    }
    EXPECT_GT(overlapped, 0) << "the conversions never ran at the same time";
}

// With OpenMW's files where OpenMW keeps them, --openmw is all a player gives: openmw.cfg in the user's
// configuration folder names the data folder, and the saves are in the default user data folder, which
// XDG_DATA_HOME moves.
TEST(ConsoleProcessTest, OpenMwFilesInTheirUsualPlacesNeedNoOtherOption) {
    test::TestFolder folder;
    ASSERT_TRUE(demo::writeDemoOpenMwGame(nativeFileSystem(), folder.file("game")));
    const std::string config = readBytes(folder.file("game/openmw.cfg"));
    folder.makeFolder("home/.config/openmw");
    build::writeBytes(folder.file("home/.config/openmw/openmw.cfg"),
                      config.substr(0, config.find("user-data")));
    for (const char* data : {"home/.local/share/openmw", "data/openmw"}) {
        folder.makeFolder(data);
        std::filesystem::copy(folder.file("game/OpenMW/saves"), folder.file(data) + "/saves",
                              std::filesystem::copy_options::recursive);
    }
    for (const std::string& environment : {std::string(), "XDG_DATA_HOME='" + folder.file("data") + "' "}) {
        const std::string command = "cd '" + folder.path() +
                                    "' && env -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME='" +
                                    folder.file("home") + "' " + environment +
                                    "'" ORVELLA_CLI "' convert --openmw Nerevar/Demo.omwsave >output 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << readBytes(folder.file("output"));
    }
    for (const char* data : {"home/.local/share/openmw", "data/openmw"})
        EXPECT_EQ(readBytes(folder.file(data) + "/LRK Saves Backup/Nerevar/Demo.omwsave.bak"),
                  readBytes(folder.file("game/OpenMW/saves/Nerevar/Demo.omwsave")))
            << data;
}

} // namespace
} // namespace orvella
