#include "JobHarness.h"
#include "gamebuilder/GameBuilder.h"
#include "job/ProgressControls.h"
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
using build::z;

struct Month {
    const char* id;
    const char* english;
    const char* italian;
};

// Made-up month names: only their pairing matters here.
const Month Months[] = {
    {"sMonthMorningstar", "Morning Star", "Stella del Mattino"},
    {"sMonthSunsdawn", "Sun's Dawn", "Alba"},
    {"sMonthFirstseed", "First Seed", "Primo Seme"},
    {"sMonthRainshand", "Rain's Hand", "Pioggia"},
    {"sMonthSecondseed", "Second Seed", "Secondo Seme"},
    {"sMonthMidyear", "Mid Year", "Mezzo Anno"},
    {"sMonthSunsheight", "Sun's Height", "Culmine"},
    {"sMonthLastseed", "Last Seed", "Ultimo Seme"},
    {"sMonthHeartfire", "Heartfire", "Focolare"},
    {"sMonthFrostfall", "Frostfall", "Gelo"},
    {"sMonthSunsdusk", "Sun's Dusk", "Crepuscolo"},
    {"sMonthEveningstar", "Evening Star", "Vespro"},
};

struct Entry {
    const char* id;
    const char* english;
    const char* italian;
};

const Entry Entries[] = {
    {"1001", "I must take the ring to Caius Cosades in Balmora.",
     "Devo portare l'anello a Caius Cosades a Balmora."},
    {"1002", "Caius Cosades calls me %Name, his new agent.",
     "Caius Cosades mi chiama %Name, il suo nuovo agente."},
};

struct Item {
    const char* id;
    const char* english;
    const char* italian;
};

const Item Items[] = {
    {"misc_axe", "Axe", "Scure"}, {"misc_bucket", "Bucket", "Secchio"}, {"misc_candle", "Candle", "Candela"}};

const std::vector<TopicRow> TopicRows = {
    {"Caius Cosades", "Caius Cosades"}, {"Balmora", "Balmora"}, {"ring", "anello"}};

GameFileBuilder gameFile(bool italian) {
    GameFileBuilder file(italian ? FileHeader{.kind = FileKind::Plugin, .masters = {{"Morrowind.esm", 1}}}
                                 : FileHeader{.kind = FileKind::Master});
    for (const Month& month : Months)
        file.add(RecordBuilder("GMST")
                     .sub("NAME", month.id)
                     .text("STRV", italian ? month.italian : month.english));
    for (const Item& item : Items)
        file.add(
            RecordBuilder("MISC").text("NAME", item.id).text("FNAM", italian ? item.italian : item.english));
    file.add(RecordBuilder("DIAL").text("NAME", "A1_Courier").sub("DATA", std::string(1, '\4')));
    for (const Entry& entry : Entries)
        file.add(RecordBuilder("INFO")
                     .text("INAM", entry.id)
                     .text("NAME", italian ? entry.italian : entry.english));
    return file;
}

std::string heading(std::string_view inside) {
    return "<FONT COLOR=\"9F0000\">" + std::string(inside) + "</FONT><BR>\n";
}

const std::string EnglishJournal =
    heading("16 Last Seed (Day 3)") + "I must take the @ring# to @Caius Cosades# in @Balmora#.<P>\n" +
    heading("17 Last Seed (Day 4)") + "@Caius Cosades# calls me Nerevar, his new agent.<P>\n";
const std::string ItalianJournal =
    heading("16 Ultimo Seme (Giorno 3)") + "Devo portare l'@anello# a @Caius Cosades# a @Balmora#.<P>\n" +
    heading("17 Ultimo Seme (Giorno 4)") + "@Caius Cosades# mi chiama Nerevar, il suo nuovo agente.<P>\n";

// The inventory as the program writes it for English: sorted by English name, equipment renumbered.
RecordBuilder englishPlayer() {
    return RecordBuilder("NPCC")
        .text("NAME", "PlayerSaveGame")
        .sub("NPDT", std::string(8, '\1'))
        .sub("NPCO", u32(1) + z("misc_axe"))
        .sub("XHLT", u32(40))
        .sub("NPCO", u32(2) + z("misc_bucket"))
        .sub("NPCO", u32(5) + z("misc_candle"))
        .sub("WIDX", u32(0) + u32(0))
        .sub("WIDX", u32(2) + u32(1));
}

GameFileBuilder englishSave(const std::string& journal) {
    GameFileBuilder file(FileHeader{.kind = FileKind::Save, .masters = {{"Morrowind.esm", 1234}}});
    file.add(RecordBuilder("GLOB").text("NAME", "counter").sub("FLTV", build::f32(2)));
    file.add(englishPlayer());
    file.add(RecordBuilder("JOUR").sub("NAME", journal + '\0'));
    return file;
}

std::string recordBytes(const std::string& fileBytes, std::string_view tag) {
    MemoryFile file(fileBytes);
    RecordStream stream(file, "save");
    std::int32_t count = 0;
    EXPECT_TRUE(stream.readRecordCount(count));
    for (std::int32_t i = 0; i <= count; ++i) {
        auto record = stream.readRecord();
        if (!record)
            break;
        if (record->tag().is(tag)) {
            std::string bytes;
            for (const auto& subrecord : record->subrecords())
                bytes += std::string(subrecord->tag.str()) + u32(subrecord->size()) +
                         std::string(subrecord->data.begin(), subrecord->data.end());
            return bytes;
        }
    }
    return {};
}

struct JournalJob : testing::Test {
    test::GameFolder game;
    test::JobHarness harness{game};
    TopicTables tables{TopicRows, {}, {}, {}};

    void SetUp() override {
        std::string plugin = gameFile(true).bytes();
        gameFile(false).writeTo(game.data("Morrowind.esm"));
        build::writeBytes(game.data("Morrowind LRK - Versione Finale.esp"), plugin);
        harness.installation.hasMorrowindMaster = harness.installation.hasMorrowindPlugin = true;
        harness.installation.morrowindPluginSize = static_cast<std::uint32_t>(plugin.size());
        harness.tables = &tables;
        harness.saveInfo.usesMorrowindMaster = true;
    }
};

TEST_F(JournalJob, ARecognisedJournalEndsInPlainSuccessAndTheLogIsDeleted) {
    build::writeBytes(game.save("s.ess"), englishSave(EnglishJournal).bytes());
    PatchResult result = harness.run("s.ess");
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(result.outcomeText, "Patch effettuata con successo");
    EXPECT_FALSE(result.logKept);
    EXPECT_FALSE(game.exists("Saves/s.ess.log"));
    EXPECT_FALSE(harness.progress.shownButton(ViewLogButton));
    EXPECT_EQ(harness.progress.bar(JournalBar), 100);
    EXPECT_EQ(harness.progress.image(JournalImage), StatusImage::Success);
}

TEST_F(JournalJob, UntranslatedParagraphsKeepAndOfferTheLogUntilAJobWithoutThem) {
    const std::string journal =
        EnglishJournal + heading("18 Last Seed (Day 5)") + "I met @Fargoth#.\nHe was sad.<P>\n";
    build::writeBytes(game.save("s.ess"), englishSave(journal).bytes());
    PatchResult result = harness.run("s.ess");
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(result.outcomeText, "Patch effettuata con successo, ma con delle frasi non tradotte");
    EXPECT_EQ(harness.progress.texts[StatusText], result.outcomeText);
    EXPECT_TRUE(result.logKept);
    EXPECT_TRUE(result.logOffered);
    EXPECT_TRUE(harness.progress.shownButton(ViewLogButton));
    EXPECT_TRUE(harness.progress.enabledButton(ViewLogButton));
    EXPECT_EQ(build::readBytes(game.save("s.ess.log")),
              "File di Log per s.ess\r\n\r\n- FRASI DEL JOURNAL NON TRADOTTE -\r\n\r\n"
              "--- I met @Fargoth#.\r\nHe was sad.\r\n\r\n");

    // The next job counts only its own journal.
    build::writeBytes(game.save("s.ess"), englishSave(EnglishJournal).bytes());
    result = harness.run("s.ess");
    EXPECT_EQ(result.outcomeText, "Patch effettuata con successo");
    EXPECT_FALSE(game.exists("Saves/s.ess.log"));
}

TEST_F(JournalJob, ACanonicalEnglishSaveComesBackByteForByte) {
    const std::string original = englishSave(EnglishJournal).bytes();
    build::writeBytes(game.save("s.ess"), original);
    ASSERT_EQ(harness.run("s.ess", EnglishToItalian).exitCode, 0u);

    const std::string italian = build::readBytes(game.save("s.ess"));
    EXPECT_EQ(recordBytes(italian, "JOUR"),
              "NAME" + u32(static_cast<std::uint32_t>(ItalianJournal.size() + 1)) + ItalianJournal + '\0');
    const RecordBuilder italianPlayer = RecordBuilder("NPCC")
                                            .text("NAME", "PlayerSaveGame")
                                            .sub("NPDT", std::string(8, '\1'))
                                            .sub("NPCO", u32(5) + z("misc_candle"))
                                            .sub("NPCO", u32(1) + z("misc_axe"))
                                            .sub("XHLT", u32(40))
                                            .sub("NPCO", u32(2) + z("misc_bucket"))
                                            .sub("WIDX", u32(0) + u32(1))
                                            .sub("WIDX", u32(1) + u32(0));
    EXPECT_EQ(recordBytes(italian, "NPCC"), italianPlayer.bytes().substr(16));

    harness.saveInfo.usesMorrowindPlugin = true;
    ASSERT_EQ(harness.run("s.ess", ItalianToEnglish).exitCode, 0u);
    EXPECT_EQ(build::readBytes(game.save("s.ess")), original);
}

} // namespace
} // namespace orvella
