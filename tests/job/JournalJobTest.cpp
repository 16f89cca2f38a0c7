#include "../records/RecordViews.h"
#include "ConversionGame.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;
using build::u32;
using build::z;

std::string heading(std::string_view inside) {
    return "<FONT COLOR=\"9F0000\">" + std::string(inside) + "</FONT><BR>\n";
}

const std::string EnglishJournal =
    heading("16 Lastseed (Day 3)") + "I must take the @ring# to @Caius Cosades# in @Balmora#.<P>\n" +
    heading("17 Lastseed (Day 4)") + "@Caius Cosades# calls me Nerevar, his new agent.<P>\n";
const std::string ItalianJournal =
    heading("16 Mese Lastseed (Giorno 3)") + "Devo portare l'@anello# a @Caius Cosades# a @Balmora#.<P>\n" +
    heading("17 Mese Lastseed (Giorno 4)") + "@Caius Cosades# mi chiama Nerevar, il suo nuovo agente.<P>\n";

// The player as the program writes it: items in the order of their names, the equipment renumbered.
RecordBuilder player(bool italian) {
    RecordBuilder record("NPCC");
    record.text("NAME", "PlayerSaveGame").sub("NPDT", std::string(8, '\1'));
    if (italian)
        record.sub("NPCO", u32(5) + z("misc_candle"));
    record.sub("NPCO", u32(1) + z("misc_axe")).sub("XHLT", u32(40)).sub("NPCO", u32(2) + z("misc_bucket"));
    if (!italian)
        record.sub("NPCO", u32(5) + z("misc_candle"));
    return italian ? record.sub("WIDX", u32(0) + u32(1)).sub("WIDX", u32(1) + u32(0))
                   : record.sub("WIDX", u32(0) + u32(0)).sub("WIDX", u32(2) + u32(1));
}

std::string englishSave(const std::string& journal) {
    build::GameFileBuilder file({.kind = build::FileKind::Save, .masters = {{"Morrowind.esm", 1234}}});
    file.add(RecordBuilder("GLOB").text("NAME", "counter").sub("FLTV", build::f32(2)))
        .add(player(false))
        .add(RecordBuilder("JOUR").sub("NAME", journal + '\0'));
    return file.bytes();
}

TEST(JournalJob, UntranslatedParagraphsKeepAndOfferTheLogUntilAJobWithoutThem) {
    test::ConversionGame game;
    game.convert(
        englishSave(EnglishJournal + heading("18 Lastseed (Day 5)") + "I met @Fargoth#.\nHe was sad.<P>\n"),
        EnglishToItalian);
    const test::RecordingProgress& progress = game.harness.progress;
    EXPECT_EQ(game.result.outcomeText, "Patch effettuata con successo, ma con delle frasi non tradotte");
    ASSERT_TRUE(progress.result);
    EXPECT_EQ(progress.result->outcomeText, game.result.outcomeText);
    EXPECT_TRUE(game.result.logKept && game.result.logOffered && progress.result->logOffered);
    EXPECT_EQ(build::readBytes(game.game.save("s.ess.log")),
              "File di Log per s.ess\r\n\r\n- FRASI DEL JOURNAL NON TRADOTTE -\r\n\r\n"
              "--- I met @Fargoth#.\r\nHe was sad.\r\n\r\n");

    // The next job counts only its own journal: all recognised, plain success and no log.
    game.convert(englishSave(EnglishJournal), EnglishToItalian);
    EXPECT_EQ(game.result.outcomeText, "Patch effettuata con successo");
    EXPECT_FALSE(game.result.logKept);
    EXPECT_FALSE(game.game.exists("Saves/s.ess.log"));
    EXPECT_FALSE(progress.result->logOffered);
    EXPECT_EQ(progress.bar(JobStage::Journal), 100);
    EXPECT_EQ(progress.image(JobStage::Journal), StatusImage::Success);
}

TEST(JournalJob, ACanonicalEnglishSaveComesBackByteForByte) {
    test::ConversionGame game;
    const std::string original = englishSave(EnglishJournal);
    const std::string italian = game.convert(original, EnglishToItalian);
    EXPECT_EQ(test::bytesOf(test::takeRecord(italian, "JOUR")),
              RecordBuilder("JOUR").sub("NAME", ItalianJournal + '\0').bytes());
    EXPECT_EQ(test::bytesOf(test::takeRecord(italian, "NPCC")), player(true).bytes());
    EXPECT_EQ(game.convert(italian, ItalianToEnglish), original);
}

} // namespace
} // namespace orvella
