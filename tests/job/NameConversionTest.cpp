#include "../records/RecordViews.h"
#include "ConversionGame.h"
#include "FailingFileSystem.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;
using build::z;

std::string englishSave(bool withDeletedTopic) {
    build::GameFileBuilder file({.kind = build::FileKind::Save, .masters = {{"Morrowind.esm", 79837557}}});
    file.add(RecordBuilder("DIAL").text("NAME", "latest rumors").sub("DATA", std::string(1, '\0')));
    if (withDeletedTopic)
        file.add(RecordBuilder("DIAL").text("NAME", "removed topic").sub("DELE", build::u32(0)));
    file.add(RecordBuilder("DIAL").text("NAME", "duties").sub("DATA", std::string(1, '\0')))
        .add(RecordBuilder("QUES").text("NAME", "Rescue the Prisoner").sub("DATA", "d"))
        .add(RecordBuilder("QUES").text("NAME", "Lost Quest"))
        .add(RecordBuilder("NPC_").text("NAME", "guard_01").text("FNAM", "Guard").sub("NPDT", "n"))
        .add(RecordBuilder("NPC_").text("NAME", "player").text("FNAM", "Nerevar"))
        .add(RecordBuilder("WEAP").text("NAME", "iron sword").text("FNAM", "Iron Sword"))
        .add(RecordBuilder("SPEL").text("NAME", "fire bite").text("FNAM", "Fire Bite"))
        .add(RecordBuilder("ALCH").text("NAME", "player_potion").text("FNAM", "My Potion"))
        .add(RecordBuilder("PCDT")
                 .sub("DNAM", z("latest rumors"))
                 .sub("DNAM", z("A1_Rescue"))
                 .sub("DNAM", z("unknown topic")));
    return file.bytes();
}

// Each record as "TAG: layout"; the header from its first master to its game data.
std::string recordTexts(const std::string& bytes) {
    std::string out;
    for (const auto& record : test::readRecords(bytes)) {
        std::string text = test::layout(*record);
        if (record->tag().is("TES3"))
            text = text.substr(text.find("|MAST") + 1, text.find("|SCRD") - text.find("|MAST") - 1);
        out += std::string(record->tag().str()) + ": " + text + "\n";
    }
    return out;
}

TEST(NameConversion, AnEnglishSaveBecomesItalianRecordByRecordAndComesBack) {
    test::ConversionGame game;
    const std::string italian = game.convert(englishSave(true), EnglishToItalian);
    const std::string pluginSize = build::u32(game.harness.installation.morrowindPluginSize);
    EXPECT_EQ(recordTexts(italian),
              "TES3: MAST=Morrowind.esm|DATA=" + std::string(build::u32(79837557).c_str()) +
                  "|MAST=Morrowind LRK - Versione Finale.esp|DATA=" + pluginSize.c_str() +
                  "|GMDT=\n"
                  "DIAL: NAME=ultime dicerie|DATA=\nDIAL: NAME=doveri|DATA=\n"
                  "QUES: NAME=Salva il Prigioniero|DATA=d\nQUES: NAME=Lost Quest\n"
                  "NPC_: NAME=guard_01|FNAM=Guardia|NPDT=n\nNPC_: NAME=player|FNAM=Nerevar\n"
                  "WEAP: NAME=iron sword|FNAM=Spada di Ferro\nSPEL: NAME=fire bite|FNAM=Morso di Fuoco\n"
                  "ALCH: NAME=player_potion|FNAM=My Potion\n"
                  "PCDT: DNAM=ultime dicerie|DNAM=A1_Rescue|DNAM=unknown topic\n");
    EXPECT_EQ(italian.substr(320, 4), build::u32(10));
    EXPECT_EQ(game.convert(italian, ItalianToEnglish), englishSave(false));
}

TEST(NameConversion, TheLogSectionsAreExactAndEveryJobWritesItsOwnHeadings) {
    test::ConversionGame game;
    test::FailingFileSystem files;
    files.failOn(test::FailingFileSystem::Fault::SaveMove); // keeps the log and the save as they were
    game.harness.files = &files;
    for (int run = 0; run < 2; ++run) {
        game.convert(englishSave(true), EnglishToItalian, 1);
        EXPECT_EQ(build::readBytes(game.game.save("s.ess.log")),
                  "File di Log per s.ess\r\n"
                  "\r\n- TOPIC SEGNATI COME \"DELETED\" -\r\n\r\nremoved topic\r\n"
                  "\r\n- MONI QUEST NON TROVATI -\r\n\r\nNome Quest: Lost Quest\r\n"
                  "\r\n- HYPERLINK NON TRADOTTI -\r\n\r\nunknown topic\r\n")
            << "run " << run;
    }
}

} // namespace
} // namespace orvella
