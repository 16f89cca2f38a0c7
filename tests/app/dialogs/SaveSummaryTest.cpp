#include "app/SaveSummary.h"
#include "FakeMainDialogView.h"
#include "TestFolder.h"
#include "gamebuilder/GameBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orvella::test {
namespace {

using build::f32;
using build::FileHeader;
using build::FileKind;
using build::GameFileBuilder;
using build::RecordBuilder;
using build::u32;

// The bytes of a save's HEDR with this description.
std::string hedr(const std::string& description) {
    std::string bytes = f32(1.3f) + u32(32) + std::string(32, '\0') + description;
    bytes.resize(296, '\0');
    return bytes + u32(0);
}

// GMDT bytes: health, maximum, hour, 12 unused bytes, the cell name in 64 bytes, the days passed and the
// player's name, cut to `length` bytes.
std::string gmdt(float health, float maxHealth, float hour, const std::string& cell, float days,
                 const std::string& player, std::size_t length = 124) {
    std::string cellField = cell;
    cellField.resize(64, '\0');
    std::string playerField = player;
    playerField.resize(32, '\0');
    std::string bytes = f32(health) + f32(maxHealth) + f32(hour) + std::string(12, '\0') + cellField +
                        f32(days) + playerField;
    return bytes.substr(0, length);
}

class SaveSummaryTest : public ::testing::Test {
protected:
    SaveSummaryTest() { installation.installPath = folder.path(); }

    void writeSave(const std::string& name, const FileHeader& header) {
        ASSERT_TRUE(GameFileBuilder(header).writeTo(folder.save(name)));
    }
    void writeHeader(const std::string& name, const RecordBuilder& header) {
        ASSERT_TRUE(build::writeBytes(folder.save(name), header.bytes()));
    }
    bool show(const std::string& name) {
        clearSummary(view);
        return showSaveSummary(view, nativeFileSystem(), installation, name, info);
    }

    GameFolder folder;
    GameInstallation installation;
    std::vector<std::string> events;
    FakeMainDialogView view{events};
    SaveInfo info;
};

TEST_F(SaveSummaryTest, SummaryTextRoundsHealthAndDay) {
    FileHeader header;
    header.kind = FileKind::Save;
    header.description = "Prima del tempio";
    header.health = 57.4f;
    header.maxHealth = 100;
    header.hour = 21.5f;
    header.daysPassed = 12;
    header.cellName = "Balmora, Gilda dei Maghi";
    header.playerName = "N'wah";
    writeSave("a.ess", header);

    ASSERT_TRUE(show("a.ess"));
    EXPECT_EQ(view.summary, "NomePG: N'wah\r\nNome Salvataggio: Prima del tempio\r\n\r\n"
                            "Salvato a: Balmora, Gilda dei Maghi\r\nGiorno: 12\r\nPunti Ferita: 57\\100");
    EXPECT_EQ(info.playerName, "N'wah");
    EXPECT_EQ(info.saveName, "Prima del tempio");
    EXPECT_EQ(info.cellName, "Balmora, Gilda dei Maghi");
    EXPECT_FLOAT_EQ(info.day, 12);
    EXPECT_FLOAT_EQ(info.health, 57.4f);
    EXPECT_FLOAT_EQ(info.maxHealth, 100);
}

TEST_F(SaveSummaryTest, MastersMissingFromDataFilesAreMarkedInFileOrder) {
    ASSERT_TRUE(build::writeBytes(folder.data("Morrowind.esm"), "x"));
    FileHeader header;
    header.kind = FileKind::Save;
    header.masters = {{"Morrowind.esm", 1}, {"Morrowind LRK - Versione Finale.esp", 2}, {"Morrowind.esm", 1}};
    writeSave("a.ess", header);

    ASSERT_TRUE(show("a.ess"));
    EXPECT_EQ(view.masterLines,
              (std::vector<std::string>{"Morrowind.esm", "**Morrowind LRK - Versione Finale.esp",
                                        "Morrowind.esm"}));
}

TEST_F(SaveSummaryTest, ScreenshotTopRowStaysOnTopAndColumnsRepeatWithoutSmoothing) {
    // Each pixel names its own place: blue its column, green its row.
    std::string scrs(ScreenshotBytes, '\0');
    for (int row = 0; row < 128; ++row)
        for (int column = 0; column < 128; ++column) {
            scrs[(row * 128 + column) * 4] = static_cast<char>(column);
            scrs[(row * 128 + column) * 4 + 1] = static_cast<char>(row);
            scrs[(row * 128 + column) * 4 + 2] = static_cast<char>(200);
        }
    RecordBuilder header("TES3");
    header.sub("HEDR", hedr("shot")).sub("GMDT", gmdt(1, 1, 1, "x", 1, "y")).sub("SCRS", scrs);
    writeHeader("a.ess", header);

    ASSERT_TRUE(show("a.ess"));
    ASSERT_TRUE(view.picture);
    const SummaryPicture& picture = *view.picture;
    EXPECT_EQ(picture.pixel(0, 0)[1], 0);
    EXPECT_EQ(picture.pixel(0, 127)[1], 127);
    EXPECT_EQ(picture.pixel(100, 64)[1], 64);
    // Nearest neighbour: 168 columns over 128, so some columns repeat and none is a blend.
    EXPECT_EQ(picture.pixel(0, 5)[0], 0);
    EXPECT_EQ(picture.pixel(1, 5)[0], 0);
    EXPECT_EQ(picture.pixel(2, 5)[0], 1);
    EXPECT_EQ(picture.pixel(84, 5)[0], 64);
    EXPECT_EQ(picture.pixel(167, 5)[0], 127);
    EXPECT_EQ(picture.pixel(167, 5)[2], 200);
}

TEST_F(SaveSummaryTest, ShortScreenshotShowsWhatIsThereAndLeavesTheRestBlack) {
    // One full row and the first 100 pixels of the second one.
    std::string scrs(512 + 400, static_cast<char>(0x7F));
    RecordBuilder header("TES3");
    header.sub("HEDR", hedr("short")).sub("GMDT", gmdt(1, 1, 1, "x", 1, "y")).sub("SCRS", scrs);
    writeHeader("a.ess", header);

    ASSERT_TRUE(show("a.ess"));
    ASSERT_TRUE(view.picture);
    const SummaryPicture& picture = *view.picture;
    EXPECT_EQ(picture.pixel(167, 0)[0], 0x7F);
    EXPECT_EQ(picture.pixel(131, 1)[2], 0x7F); // source column 99
    EXPECT_EQ(picture.pixel(133, 1)[2], 0);    // source column 101
    EXPECT_EQ(picture.pixel(0, 2)[0], 0);
    EXPECT_EQ(picture.pixel(167, 127)[0], 0);
}

TEST_F(SaveSummaryTest, TextsWithoutNulEndAtTheirFieldOrSubrecord) {
    std::string longCell(64, 'C');
    RecordBuilder header("TES3");
    header.sub("HEDR", hedr(std::string(256, 'D')))
        .sub("GMDT", gmdt(10, 20, 3, longCell, 5, "Vivec", 97))
        .sub("SCRS", std::string(ScreenshotBytes, '\0'));
    writeHeader("a.ess", header);

    ASSERT_TRUE(show("a.ess"));
    EXPECT_EQ(info.saveName, std::string(256, 'D'));
    EXPECT_EQ(info.cellName, longCell);
    EXPECT_EQ(info.playerName, "Vivec");
    EXPECT_FLOAT_EQ(info.day, 5);
}

TEST_F(SaveSummaryTest, ShortGameDataGivesEmptyFieldsAndZeros) {
    RecordBuilder header("TES3");
    header.sub("HEDR", std::string(44, 'H'))
        .sub("GMDT", gmdt(33, 44, 3, "Ald'ruhn", 5, "x", 30))
        .sub("SCRS", std::string(ScreenshotBytes, '\0'));
    writeHeader("a.ess", header);

    ASSERT_TRUE(show("a.ess"));
    EXPECT_EQ(view.summary, "NomePG: \r\nNome Salvataggio: HHHH\r\n\r\nSalvato a: Ald'ru\r\nGiorno: 0\r\n"
                            "Punti Ferita: 33\\44");
}

TEST_F(SaveSummaryTest, HeaderWithoutScreenshotShowsNothing) {
    FileHeader header;
    header.kind = FileKind::Save;
    header.masters = {{"Morrowind.esm", 1}};
    header.screenshot = false;
    writeSave("a.ess", header);
    info.playerName = "earlier";

    EXPECT_FALSE(show("a.ess"));
    EXPECT_FALSE(show("missing.ess"));
    EXPECT_EQ(view.summary, "");
    EXPECT_TRUE(view.masterLines.empty());
    EXPECT_FALSE(view.picture);
    EXPECT_EQ(info.playerName, "earlier");
}

// In real saves the float at GMDT offset 8 is the hour; the day shown is the days passed at offset 88.
TEST_F(SaveSummaryTest, RealSavesShowTheDaysPassed) {
    for (const char* name : {"HartKack0000.ess", "Test10000.ess"})
        std::filesystem::copy_file(std::string(ORVELLA_REAL_SAVES) + "/" + name, folder.save(name));

    ASSERT_TRUE(show("HartKack0000.ess"));
    EXPECT_FLOAT_EQ(info.day, 1);
    EXPECT_EQ(info.playerName, "HartKacken");
    EXPECT_EQ(info.saveName, "HartKacken 2");
    EXPECT_EQ(view.masterLines,
              (std::vector<std::string>{"**Morrowind.esm", "**Bloodmoon.esm", "**Tribunal.esm"}));

    ASSERT_TRUE(show("Test10000.ess"));
    EXPECT_FLOAT_EQ(info.day, 47);
    EXPECT_EQ(view.summary,
              "NomePG: Vegeta\r\nNome Salvataggio: Test 15\r\n\r\n"
              "Salvato a: Gramfeste, Brindisi-Dorom-Platz\r\nGiorno: 47\r\nPunti Ferita: 79\\79");
    EXPECT_EQ(view.masterLines.size(), 33u);
    EXPECT_EQ(view.masterLines.back(), "**Enhanced Morrowind - NPCs.ESP");
}

} // namespace
} // namespace orvella::test
