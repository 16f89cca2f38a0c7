#include "FaultInjectingFileSystem.h"
#include "JobHarness.h"
#include "RecordViews.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

// Converts the save, expecting the exit code, and gives the save's bytes afterwards.
struct NameConversion : testing::Test, test::JobHarness {
    std::string convert(const std::string& save, ConversionDirection direction,
                        std::uint32_t expectedExit = 0) {
        saveInfo = test::saveInfoFor(direction);
        const std::string after = JobHarness::convert("s.ess", save, direction);
        EXPECT_EQ(result.exitCode, expectedExit) << messages.shown.size();
        return after;
    }
};

// Each record as "TAG: layout"; the header as its list of masters.
std::string recordTexts(const std::string& bytes) {
    std::string out;
    for (const auto& record : test::readRecords(bytes)) {
        std::string text = test::layout(*record);
        if (record->tag().is("TES3")) {
            text.clear();
            for (const auto& subrecord : record->subrecords())
                if (subrecord->tag.is("MAST"))
                    text += std::string(subrecord->text()) + "|";
        }
        out += std::string(record->tag().str()) + ": " + text + "\n";
    }
    return out;
}

TEST_F(NameConversion, TheDemoSaveBecomesItalianRecordByRecordAndComesBackWithoutItsDeletedTopic) {
    const std::string english = demo::demoEnglishSave();
    const std::string italian = convert(english, EnglishToItalian);
    const std::string texts = recordTexts(italian);
    for (const char* expected :
         {"TES3: Morrowind.esm|Morrowind LRK - Versione Finale.esp|\n",
          "NPC_: NAME=demo_guide|FNAM=Vecchia Guida\n", "WEAP: NAME=demo_sword|FNAM=Spada Lunga di Ferro\n",
          "SPEL: NAME=demo_firebite|FNAM=Morso di Fuoco\n", "ALCH: NAME=demo_brew|FNAM=Nerevar's Brew\n",
          "DIAL: NAME=premio|DATA=\n", "QUES: NAME=La Commissione della Guida|DATA=\n",
          "PCDT: DNAM=premio|DNAM=Ufficio Imperiale del Censo e delle "
          "Imposte|DNAM=Vos|DNAM=Demo_LostDiary\n"})
        EXPECT_NE(texts.find(expected), std::string::npos) << expected << texts;
    EXPECT_EQ(texts.find("forgotten rumour"), std::string::npos) << texts;
    EXPECT_EQ(italian.substr(320, 4),
              build::u32(static_cast<std::uint32_t>(test::readRecords(english).size() - 2)));
    // The journal is the Italian save's, up to the day that no entry tells of.
    const std::string journal(test::takeRecord(demo::demoItalianSave(), "JOUR")->findText("NAME").value());
    EXPECT_EQ(test::takeRecord(italian, "JOUR")->findText("NAME"),
              journal.substr(0, journal.find("<FONT COLOR=\"9F0000\">19")));

    // Back to English: the save as it was, without the deleted topic and with the count lowered by one.
    std::string expected;
    for (const auto& record : test::readRecords(english))
        if (record->findText("NAME") != "forgotten rumour")
            expected += test::bytesOf(*record);
    expected.replace(320, 4, italian.substr(320, 4));
    EXPECT_EQ(convert(italian, ItalianToEnglish), expected);
}

TEST_F(NameConversion, UntranslatedParagraphsKeepAndOfferTheLogUntilAJobWithoutThem) {
    test::FaultInjectingFileSystem files{nativeFileSystem()};
    jobFiles = &files;
    convert(demo::demoItalianSave(), ItalianToEnglish);
    EXPECT_EQ(result.outcomeText, "Patch effettuata con successo, ma con delle frasi non tradotte");
    ASSERT_TRUE(progress.result);
    EXPECT_EQ(progress.result->outcomeText, result.outcomeText);
    EXPECT_TRUE(result.logKept && result.logOffered && progress.result->logOffered);
    EXPECT_EQ(build::readBytes(game.save("s.ess.log")),
              "File di Log per s.ess\r\n\r\n- TOPIC SEGNATI COME \"DELETED\" -\r\n\r\ndiceria dimenticata\r\n"
              "\r\n- FRASI DEL JOURNAL NON TRADOTTE -\r\n\r\n"
              "--- Uno straniero in un mantello grigio mi osservava dal fondo del porto.\r\n\r\n");

    // The next job counts only its own journal: all recognised, plain success and no log.
    convert(demo::demoEnglishSave(), EnglishToItalian);
    EXPECT_EQ(result.outcomeText, "Patch effettuata con successo");
    EXPECT_FALSE(result.logKept || progress.result->logOffered);
    EXPECT_FALSE(game.exists("Saves/s.ess.log"));
    EXPECT_EQ(std::make_pair(progress.bar(JobStage::Journal), progress.image(JobStage::Journal)),
              std::make_pair(100, std::optional(StatusImage::Success)));

    // A job that fails after its handlers ran keeps its log, with its own headings.
    files.failEvery(test::FileCall::Replace, "s.ess.tmp");
    convert(demo::demoEnglishSave(), EnglishToItalian, 1);
    EXPECT_EQ(build::readBytes(game.save("s.ess.log")),
              "File di Log per s.ess\r\n\r\n- TOPIC SEGNATI COME \"DELETED\" -\r\n\r\nforgotten rumour\r\n"
              "\r\n- FRASI DEL JOURNAL NON TRADOTTE -\r\n\r\n");
}

} // namespace
} // namespace orvella
