#include "FailingFileSystem.h"
#include "JobHarness.h"
#include "gamebuilder/GameBuilder.h"
#include "platform/MemoryFile.h"
#include "records/RecordStream.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::FileHeader;
using build::FileKind;
using build::GameFileBuilder;
using build::RecordBuilder;
using build::u32;

const char* const MonthIds[] = {"sMonthMorningstar", "sMonthSunsdawn",   "sMonthFirstseed",
                                "sMonthRainshand",   "sMonthSecondseed", "sMonthMidyear",
                                "sMonthSunsheight",  "sMonthLastseed",   "sMonthHeartfire",
                                "sMonthFrostfall",   "sMonthSunsdusk",   "sMonthEveningstar"};

GameFileBuilder master() {
    GameFileBuilder file(FileHeader{.kind = FileKind::Master});
    for (const char* id : MonthIds)
        file.add(RecordBuilder("GMST").sub("NAME", id).text("STRV", id + 6));
    file.add(RecordBuilder("NPC_").text("NAME", "guard_01").text("FNAM", "Guard"));
    file.add(RecordBuilder("WEAP").text("NAME", "iron sword").text("FNAM", "Iron Sword"));
    file.add(RecordBuilder("SPEL").text("NAME", "fire bite").text("FNAM", "Fire Bite"));
    file.add(RecordBuilder("DIAL").text("NAME", "A1_Rescue").sub("DATA", std::string(1, '\4')));
    file.add(
        RecordBuilder("INFO").text("INAM", "1001").text("NAME", "Rescue the Prisoner").sub("QSTN", "\1"));
    return file;
}

GameFileBuilder plugin() {
    GameFileBuilder file(FileHeader{.kind = FileKind::Plugin, .masters = {{"Morrowind.esm", 1}}});
    for (const char* id : MonthIds)
        file.add(RecordBuilder("GMST").sub("NAME", id).text("STRV", std::string("Mese ") + (id + 6)));
    file.add(RecordBuilder("NPC_").text("NAME", "guard_01").text("FNAM", "Guardia"));
    file.add(RecordBuilder("WEAP").text("NAME", "iron sword").text("FNAM", "Spada di Ferro"));
    file.add(RecordBuilder("SPEL").text("NAME", "fire bite").text("FNAM", "Morso di Fuoco"));
    file.add(RecordBuilder("DIAL").text("NAME", "A1_Rescue").sub("DATA", std::string(1, '\4')));
    file.add(
        RecordBuilder("INFO").text("INAM", "1001").text("NAME", "Salva il Prigioniero").sub("QSTN", "\1"));
    return file;
}

const std::vector<TopicRow> BaseRows = {
    {"latest rumors", "ultime dicerie"}, {"Balmora", "Balmora"}, {"duties", "doveri"}};

GameFileBuilder englishSave(bool withDeletedTopic) {
    GameFileBuilder file(FileHeader{.kind = FileKind::Save, .masters = {{"Morrowind.esm", 79837557}}});
    file.add(RecordBuilder("DIAL").text("NAME", "latest rumors").sub("DATA", std::string(1, '\0')));
    if (withDeletedTopic)
        file.add(RecordBuilder("DIAL").text("NAME", "removed topic").sub("DELE", u32(0)));
    file.add(RecordBuilder("DIAL").text("NAME", "duties").sub("DATA", std::string(1, '\0')));
    file.add(RecordBuilder("QUES").text("NAME", "Rescue the Prisoner").sub("DATA", "d"));
    file.add(RecordBuilder("QUES").text("NAME", "Lost Quest"));
    file.add(RecordBuilder("NPC_").text("NAME", "guard_01").text("FNAM", "Guard").sub("NPDT", "n"));
    file.add(RecordBuilder("NPC_").text("NAME", "player").text("FNAM", "Nerevar"));
    file.add(RecordBuilder("WEAP").text("NAME", "iron sword").text("FNAM", "Iron Sword"));
    file.add(RecordBuilder("SPEL").text("NAME", "fire bite").text("FNAM", "Fire Bite"));
    file.add(RecordBuilder("ALCH").text("NAME", "player_potion").text("FNAM", "My Potion"));
    file.add(RecordBuilder("PCDT")
                 .sub("DNAM", build::z("latest rumors"))
                 .sub("DNAM", build::z("A1_Rescue"))
                 .sub("DNAM", build::z("unknown topic")));
    return file;
}

std::vector<std::string> recordTexts(const std::string& bytes) {
    MemoryFile file(bytes);
    RecordStream stream(file, "save");
    std::int32_t count = 0;
    EXPECT_TRUE(stream.readRecordCount(count));
    std::vector<std::string> texts;
    for (std::int32_t i = 0; i <= count; ++i) {
        auto record = stream.readRecord();
        EXPECT_TRUE(record);
        if (!record)
            break;
        std::string text(record->tag().str());
        for (const auto& subrecord : record->subrecords())
            if (!subrecord->tag.is("HEDR") && !subrecord->tag.is("SCRS") && !subrecord->tag.is("GMDT") &&
                !subrecord->tag.is("SCRD"))
                text += " " + std::string(subrecord->tag.str()) + "=" + std::string(subrecord->text());
        texts.push_back(text);
    }
    return texts;
}

struct NameConversion : testing::Test {
    test::GameFolder game;
    test::JobHarness harness{game};
    TopicTables tables{BaseRows, {}, {}, {}};

    void SetUp() override {
        std::string pluginBytes = plugin().bytes();
        master().writeTo(game.data("Morrowind.esm"));
        build::writeBytes(game.data("Morrowind LRK - Versione Finale.esp"), pluginBytes);
        harness.installation.hasMorrowindMaster = harness.installation.hasMorrowindPlugin = true;
        harness.installation.morrowindPluginSize = static_cast<std::uint32_t>(pluginBytes.size());
        harness.tables = &tables;
        harness.saveInfo.usesMorrowindMaster = true;
    }
};

TEST_F(NameConversion, AnEnglishSaveBecomesItalianRecordByRecordAndComesBack) {
    std::string original = englishSave(true).bytes();
    build::writeBytes(game.save("s.ess"), original);
    ASSERT_EQ(harness.run("s.ess", EnglishToItalian).exitCode, 0u) << harness.messages.shown.size();
    std::string italian = build::readBytes(game.save("s.ess"));
    std::uint32_t pluginSize = harness.installation.morrowindPluginSize;
    std::string size = std::string(reinterpret_cast<const char*>(&pluginSize), 4);
    EXPECT_EQ(recordTexts(italian),
              (std::vector<std::string>{
                  "TES3 MAST=Morrowind.esm DATA=" + std::string(build::u32(79837557).c_str()) +
                      " MAST=Morrowind LRK - Versione Finale.esp DATA=" + std::string(size.c_str()),
                  "DIAL NAME=ultime dicerie DATA=", "DIAL NAME=doveri DATA=",
                  "QUES NAME=Salva il Prigioniero DATA=d", "QUES NAME=Lost Quest",
                  "NPC_ NAME=guard_01 FNAM=Guardia NPDT=n", "NPC_ NAME=player FNAM=Nerevar",
                  "WEAP NAME=iron sword FNAM=Spada di Ferro", "SPEL NAME=fire bite FNAM=Morso di Fuoco",
                  "ALCH NAME=player_potion FNAM=My Potion",
                  "PCDT DNAM=ultime dicerie DNAM=A1_Rescue DNAM=unknown topic"}));
    EXPECT_EQ(italian.substr(320, 4), u32(10));

    harness.saveInfo.usesMorrowindPlugin = true;
    ASSERT_EQ(harness.run("s.ess", ItalianToEnglish).exitCode, 0u);
    EXPECT_EQ(build::readBytes(game.save("s.ess")), englishSave(false).bytes());
}

TEST_F(NameConversion, TheLogSectionsAreExactAndEveryJobWritesItsOwnHeadings) {
    build::writeBytes(game.save("s.ess"), englishSave(true).bytes());
    test::FailingFileSystem files;
    files.failOn(test::FailingFileSystem::Fault::Copy); // keeps the log and the save as they were
    harness.files = &files;
    const std::string expected = "File di Log per s.ess\r\n"
                                 "\r\n- TOPIC SEGNATI COME \"DELETED\" -\r\n\r\nremoved topic\r\n"
                                 "\r\n- MONI QUEST NON TROVATI -\r\n\r\nNome Quest: Lost Quest\r\n"
                                 "\r\n- HYPERLINK NON TRADOTTI -\r\n\r\nunknown topic\r\n";
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(harness.run("s.ess", EnglishToItalian).exitCode, 1u);
        EXPECT_EQ(build::readBytes(game.save("s.ess.log")), expected) << "run " << run;
    }
}

} // namespace
} // namespace orvella
