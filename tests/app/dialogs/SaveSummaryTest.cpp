#include "app/SaveSummary.h"
#include "TestFolder.h"
#include "gamebuilder/GameBuilder.h"

#include <gtest/gtest.h>

namespace orvella::test {
namespace {

using build::f32;
using build::FileKind;
using build::RecordBuilder;

struct FakeSummaryView final : SummaryView {
    void setSummaryText(const std::string& text) override { summary = text; }
    void clearMasterList() override { masterLines.clear(); }
    void addMasterLine(const std::string& line) override { masterLines.push_back(line); }
    void setPicture(const SummaryPicture& shown) override { picture = shown; }
    void clearPicture() override { picture.reset(); }

    std::string summary;
    std::vector<std::string> masterLines;
    std::optional<SummaryPicture> picture;
};

// A header with HEDR of this description; GMDT of health, maximum, hour, 12 unused bytes, the cell name in 64
// bytes, the days passed and the player's name, cut to gmdtLength bytes; and this SCRS.
std::string header(const std::string& description, std::string cell, std::string player,
                   std::size_t gmdtLength, const std::string& scrs = std::string(ScreenshotBytes, '\0')) {
    std::string hedr = f32(1.3f) + build::u32(32) + std::string(32, '\0') + description;
    hedr.resize(296, '\0');
    cell.resize(64, '\0');
    player.resize(32, '\0');
    const std::string gmdt = f32(10) + f32(20) + f32(3) + std::string(12, '\0') + cell + f32(5) + player;
    return RecordBuilder("TES3")
        .sub("HEDR", hedr + build::u32(0))
        .sub("GMDT", gmdt.substr(0, gmdtLength))
        .sub("SCRS", scrs)
        .bytes();
}

class SaveSummaryTest : public ::testing::Test {
protected:
    bool show(const std::string& name, const std::optional<std::string>& bytes = std::nullopt) {
        if (bytes && !build::writeBytes(folder.save(name), *bytes))
            ADD_FAILURE() << "cannot write " << name;
        clearSummary(view);
        return showSaveSummary(view, nativeFileSystem(), installation, name, info);
    }

    GameFolder folder;
    GameInstallation installation{folder.path()};
    FakeSummaryView view;
    SaveInfo info;
};

// The day shown is the days passed, not the hour before it.
TEST_F(SaveSummaryTest, SummaryTextRoundsHealthAndDayAndMarksMissingMastersInFileOrder) {
    ASSERT_TRUE(build::writeBytes(folder.data("Morrowind.esm"), "x"));
    ASSERT_TRUE(show("a.ess", build::GameFileBuilder({.kind = FileKind::Save,
                                                      .description = "Prima del tempio",
                                                      .masters = {{"Morrowind.esm", 1},
                                                                  {"Morrowind LRK - Versione Finale.esp", 2},
                                                                  {"Morrowind.esm", 1}},
                                                      .health = 57.4f,
                                                      .hour = 21.5f,
                                                      .daysPassed = 12,
                                                      .cellName = "Balmora, Gilda dei Maghi",
                                                      .playerName = "N'wah"})
                                  .bytes()));
    EXPECT_EQ(view.summary, "NomePG: N'wah\r\nNome Salvataggio: Prima del tempio\r\n\r\n"
                            "Salvato a: Balmora, Gilda dei Maghi\r\nGiorno: 12\r\nPunti Ferita: 57\\100");
    EXPECT_EQ(info.playerName + "|" + info.saveName + "|" + info.cellName + "|" + std::to_string(info.day) +
                  "|" + std::to_string(info.health) + "|" + std::to_string(info.maxHealth),
              "N'wah|Prima del tempio|Balmora, Gilda dei Maghi|12.000000|57.400002|100.000000");
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
    ASSERT_TRUE(show("a.ess", header("shot", "x", "y", 124, scrs)));
    ASSERT_TRUE(view.picture);
    auto at = [&](int x, int y, int channel) { return static_cast<int>(view.picture->pixel(x, y)[channel]); };
    // Nearest neighbour: 168 columns over 128, so some columns repeat and none is a blend.
    EXPECT_EQ(std::vector<int>({at(0, 0, 1), at(0, 127, 1), at(100, 64, 1), at(0, 5, 0), at(1, 5, 0),
                                at(2, 5, 0), at(84, 5, 0), at(167, 5, 0), at(167, 5, 2)}),
              std::vector<int>({0, 127, 64, 0, 0, 1, 64, 127, 200}));

    // One full row and the first 100 pixels of the second one.
    ASSERT_TRUE(show("a.ess", header("short", "x", "y", 124, std::string(512 + 400, '\x7F'))));
    // Source columns 99 and 101 of the second row.
    EXPECT_EQ(std::vector<int>({at(167, 0, 0), at(131, 1, 2), at(133, 1, 2), at(0, 2, 0), at(167, 127, 0)}),
              std::vector<int>({0x7F, 0x7F, 0, 0, 0}));
}

TEST_F(SaveSummaryTest, TextsWithoutNulEndAtTheirFieldOrSubrecordAndShortGameDataGivesZeros) {
    ASSERT_TRUE(show("a.ess", header(std::string(256, 'D'), std::string(64, 'C'), "Vivec", 97)));
    EXPECT_EQ(info.saveName + info.cellName + info.playerName,
              std::string(256, 'D') + std::string(64, 'C') + "Vivec");
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

// What a save showed goes when the next one shows nothing.
TEST_F(SaveSummaryTest, HeaderWithoutScreenshotOrAMissingSaveShowsNothing) {
    info.playerName = "earlier";
    EXPECT_FALSE(
        show("a.ess", build::GameFileBuilder({.kind = FileKind::Save, .screenshot = false}).bytes()));
    EXPECT_EQ(info.playerName, "earlier");
    ASSERT_TRUE(
        show("b.ess",
             build::GameFileBuilder({.kind = FileKind::Save, .masters = {{"Morrowind.esm", 1}}}).bytes()));
    EXPECT_FALSE(show("missing.ess"));
    EXPECT_TRUE(view.summary.empty() && view.masterLines.empty() && !view.picture);
}

} // namespace
} // namespace orvella::test
