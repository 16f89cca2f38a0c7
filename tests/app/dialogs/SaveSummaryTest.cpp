#include "app/SaveSummary.h"
#include "FakeMainDialogView.h"
#include "TestFolder.h"
#include "gamebuilder/GameBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace orvella::test {
namespace {

using build::f32;
using build::FileHeader;
using build::FileKind;
using build::RecordBuilder;

// A header with HEDR of this description; GMDT of health, maximum, hour, 12 unused bytes, the cell name in 64
// bytes, the days passed and the player's name, cut to gmdtLength bytes; and this SCRS.
RecordBuilder header(const std::string& description, const std::string& cell, const std::string& player,
                     std::size_t gmdtLength, const std::string& scrs = std::string(ScreenshotBytes, '\0')) {
    std::string hedr = f32(1.3f) + build::u32(32) + std::string(32, '\0') + description;
    hedr.resize(296, '\0');
    std::string cellField = cell, playerField = player;
    cellField.resize(64, '\0');
    playerField.resize(32, '\0');
    const std::string gmdt =
        f32(10) + f32(20) + f32(3) + std::string(12, '\0') + cellField + f32(5) + playerField;
    return RecordBuilder("TES3")
        .sub("HEDR", hedr + build::u32(0))
        .sub("GMDT", gmdt.substr(0, gmdtLength))
        .sub("SCRS", scrs);
}

class SaveSummaryTest : public ::testing::Test {
protected:
    SaveSummaryTest() { installation.installPath = folder.path(); }

    bool show(const std::string& name, const std::optional<std::string>& bytes = std::nullopt) {
        if (bytes && !build::writeBytes(folder.save(name), *bytes))
            ADD_FAILURE() << "cannot write " << name;
        clearSummary(view);
        return showSaveSummary(view, nativeFileSystem(), installation, name, info);
    }

    GameFolder folder;
    GameInstallation installation;
    std::vector<std::string> events;
    FakeMainDialogView view{events};
    SaveInfo info;
};

TEST_F(SaveSummaryTest, SummaryTextRoundsHealthAndDayAndMarksMissingMastersInFileOrder) {
    ASSERT_TRUE(build::writeBytes(folder.data("Morrowind.esm"), "x"));
    FileHeader header{
        .kind = FileKind::Save,
        .description = "Prima del tempio",
        .masters = {{"Morrowind.esm", 1}, {"Morrowind LRK - Versione Finale.esp", 2}, {"Morrowind.esm", 1}},
        .health = 57.4f,
        .hour = 21.5f,
        .daysPassed = 12,
        .cellName = "Balmora, Gilda dei Maghi",
        .playerName = "N'wah"};
    ASSERT_TRUE(show("a.ess", build::GameFileBuilder(header).bytes()));
    EXPECT_EQ(view.summary, "NomePG: N'wah\r\nNome Salvataggio: Prima del tempio\r\n\r\n"
                            "Salvato a: Balmora, Gilda dei Maghi\r\nGiorno: 12\r\nPunti Ferita: 57\\100");
    EXPECT_EQ(info.playerName + "|" + info.saveName + "|" + info.cellName,
              "N'wah|Prima del tempio|Balmora, Gilda dei Maghi");
    EXPECT_FLOAT_EQ(info.day, 12);
    EXPECT_FLOAT_EQ(info.health, 57.4f);
    EXPECT_FLOAT_EQ(info.maxHealth, 100);
    EXPECT_EQ(view.masterLines,
              (std::vector<std::string>{"Morrowind.esm", "**Morrowind LRK - Versione Finale.esp",
                                        "Morrowind.esm"}));
}

TEST_F(SaveSummaryTest,
       ScreenshotKeepsItsTopRowOnTopRepeatsColumnsWithoutSmoothingAndLeavesWhatIsMissingBlack) {
    // Each pixel names its own place: blue its column, green its row.
    std::string scrs(ScreenshotBytes, '\0');
    for (std::size_t pixel = 0; pixel < ScreenshotBytes / 4; ++pixel) {
        scrs[pixel * 4] = static_cast<char>(pixel % 128);
        scrs[pixel * 4 + 1] = static_cast<char>(pixel / 128);
        scrs[pixel * 4 + 2] = static_cast<char>(200);
    }
    ASSERT_TRUE(show("a.ess", header("shot", "x", "y", 124, scrs).bytes()));
    ASSERT_TRUE(view.picture);
    auto at = [&](int x, int y, int channel) { return static_cast<int>(view.picture->pixel(x, y)[channel]); };
    EXPECT_EQ(at(0, 0, 1), 0);
    EXPECT_EQ(at(0, 127, 1), 127);
    EXPECT_EQ(at(100, 64, 1), 64);
    // Nearest neighbour: 168 columns over 128, so some columns repeat and none is a blend.
    EXPECT_EQ(at(0, 5, 0) + at(1, 5, 0), 0);
    EXPECT_EQ(at(2, 5, 0), 1);
    EXPECT_EQ(at(84, 5, 0), 64);
    EXPECT_EQ(at(167, 5, 0), 127);
    EXPECT_EQ(at(167, 5, 2), 200);

    // One full row and the first 100 pixels of the second one.
    ASSERT_TRUE(show("a.ess", header("short", "x", "y", 124, std::string(512 + 400, '\x7F')).bytes()));
    EXPECT_EQ(at(167, 0, 0), 0x7F);
    EXPECT_EQ(at(131, 1, 2), 0x7F); // source column 99
    EXPECT_EQ(at(133, 1, 2), 0);    // source column 101
    EXPECT_EQ(at(0, 2, 0) + at(167, 127, 0), 0);
}

TEST_F(SaveSummaryTest, TextsWithoutNulEndAtTheirFieldOrSubrecordAndShortGameDataGivesZeros) {
    ASSERT_TRUE(show("a.ess", header(std::string(256, 'D'), std::string(64, 'C'), "Vivec", 97).bytes()));
    EXPECT_EQ(info.saveName, std::string(256, 'D'));
    EXPECT_EQ(info.cellName, std::string(64, 'C'));
    EXPECT_EQ(info.playerName, "Vivec");
    EXPECT_FLOAT_EQ(info.day, 5);

    ASSERT_TRUE(show("b.ess", RecordBuilder("TES3")
                                  .sub("HEDR", std::string(44, 'H'))
                                  .sub("GMDT", f32(33) + f32(44) + f32(3) + std::string(12, '\0') + "Ald'ru")
                                  .sub("SCRS", "")
                                  .bytes()));
    EXPECT_EQ(
        view.summary,
        "NomePG: \r\nNome Salvataggio: HHHH\r\n\r\nSalvato a: Ald'ru\r\nGiorno: 0\r\nPunti Ferita: 33\\44");
}

TEST_F(SaveSummaryTest, HeaderWithoutScreenshotOrAMissingSaveShowsNothing) {
    info.playerName = "earlier";
    EXPECT_FALSE(
        show("a.ess", build::GameFileBuilder(
                          {.kind = FileKind::Save, .masters = {{"Morrowind.esm", 1}}, .screenshot = false})
                          .bytes()));
    EXPECT_FALSE(show("missing.ess"));
    EXPECT_EQ(view.summary, "");
    EXPECT_TRUE(view.masterLines.empty());
    EXPECT_FALSE(view.picture);
    EXPECT_EQ(info.playerName, "earlier");
    // What a save showed goes when the next one shows nothing.
    ASSERT_TRUE(show("b.ess", build::GameFileBuilder({.kind = FileKind::Save}).bytes()));
    EXPECT_FALSE(show("missing.ess"));
    EXPECT_TRUE(view.summary.empty() && !view.picture);
}

// In real saves the float at GMDT offset 8 is the hour; the day shown is the days passed at offset 88.
TEST_F(SaveSummaryTest, RealSavesShowTheDaysPassed) {
    for (const char* name : {"HartKack0000.ess", "Test10000.ess"})
        std::filesystem::copy_file(std::string(ORVELLA_REAL_SAVES) + "/" + name, folder.save(name));
    ASSERT_TRUE(show("HartKack0000.ess"));
    EXPECT_FLOAT_EQ(info.day, 1);
    EXPECT_EQ(info.playerName + "|" + info.saveName, "HartKacken|HartKacken 2");
    EXPECT_EQ(view.masterLines,
              (std::vector<std::string>{"**Morrowind.esm", "**Bloodmoon.esm", "**Tribunal.esm"}));

    ASSERT_TRUE(show("Test10000.ess"));
    EXPECT_EQ(view.summary,
              "NomePG: Vegeta\r\nNome Salvataggio: Test 15\r\n\r\n"
              "Salvato a: Gramfeste, Brindisi-Dorom-Platz\r\nGiorno: 47\r\nPunti Ferita: 79\\79");
    EXPECT_EQ(view.masterLines.size(), 33u);
    EXPECT_EQ(view.masterLines.back(), "**Enhanced Morrowind - NPCs.ESP");
}

} // namespace
} // namespace orvella::test
