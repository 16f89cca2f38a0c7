#include "DemoJob.h"
#include "app/SaveClassification.h"
#include "gamebuilder/OpenMwSaveBuilder.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using namespace build;

constexpr std::uint32_t Formats[] = {OpenMw047Format, OpenMw048Format, OpenMw049Format};

// Conversions of OpenMW saves of the demo game held in memory.
struct OpenMwJobTest : testing::Test {
    OpenMwJobTest() {
        demo::writeDemoOpenMwGame(files, test::InMemoryGame);
        installation = demo::demoOpenMwInstallation(files, test::InMemoryGame);
    }

    // Writes the bytes as the save, converts it the way it classifies and gives the save afterwards.
    std::string convert(const std::string& bytes) {
        files.writeFile(path(), bytes);
        messages = test::RecordingMessageBoxes();
        progress = test::RecordingProgress();
        const std::optional<SaveInfo> info = classifySave(files, installation, SaveName);
        EXPECT_TRUE(info);
        PatchJob job{&installation, &files, &messages, &progress, nullptr, nullptr, {SaveName, *info}};
        result = runPatchJob(job);
        for (const Message& m : messages.shown) ADD_FAILURE() << m.text;

        return files.readFile(path()).value_or("");
    }
    std::string path() const { return SavePaths(installation, SaveName).save; }
    std::string log() { return files.readFile(SavePaths(installation, SaveName).log).value_or(""); }

    static constexpr const char* SaveName = "Nerevar/Demo.omwsave";
    test::FaultInjectingFileSystem files;
    GameInstallation installation;
    test::RecordingMessageBoxes messages;
    test::RecordingProgress progress;
    PatchResult result;
};

// Each edition's save becomes the other's byte for byte: content files, known topics in the case each format
// keeps them, journal entries with their variables' names, speakers and held names; the entry no response
// answers stays, and is logged.
TEST_F(OpenMwJobTest, EachFormatConvertsToTheOtherEditionAndBack) {
    for (std::uint32_t format : Formats) {
        SCOPED_TRACE(format);
        const std::string english = demo::demoOpenMwSave(true, format);
        const std::string italian = demo::demoOpenMwSave(false, format);
        EXPECT_EQ(convert(english), italian);
        EXPECT_EQ(result.outcomeText, "Patch effettuata con successo, ma con delle frasi non tradotte");
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_NE(log().find("--- A ship came in at dawn."), std::string::npos) << log();
        EXPECT_EQ(convert(italian), english);
    }
}

} // namespace
} // namespace orvella
