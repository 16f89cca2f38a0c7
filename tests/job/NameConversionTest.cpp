#include "FaultInjectingFileSystem.h"
#include "JobHarness.h"
#include "RecordViews.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

// The demo game in a folder, converting the saves put into it.
struct DemoGameJobs {
    DemoGameJobs() { harness.writeDemoGame(game); }

    // Converts the save, expecting the exit code, and gives the save's bytes afterwards.
    std::string convert(const std::string& save, ConversionDirection direction,
                        std::uint32_t expectedExit = 0) {
        build::writeBytes(game.save("s.ess"), save);
        harness.saveInfo = test::saveInfoFor(direction);
        result = harness.run("s.ess", direction);
        EXPECT_EQ(result.exitCode, expectedExit) << harness.messages.shown.size();
        return build::readBytes(game.save("s.ess"));
    }

    test::GameFolder game;
    test::JobHarness harness{game};
    PatchResult result;
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

TEST(NameConversion, TheDemoSaveBecomesItalianRecordByRecordAndComesBackWithoutItsDeletedTopic) {
    DemoGameJobs jobs;
    const std::string english = demo::demoEnglishSave();
    const std::string italian = jobs.convert(english, EnglishToItalian);
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
    EXPECT_EQ(jobs.convert(italian, ItalianToEnglish), expected);
}

TEST(NameConversion, UntranslatedParagraphsKeepAndOfferTheLogUntilAJobWithoutThem) {
    DemoGameJobs jobs;
    test::FaultInjectingFileSystem files{nativeFileSystem()};
    jobs.harness.files = &files;
    jobs.convert(demo::demoItalianSave(), ItalianToEnglish);
    const test::RecordingProgress& progress = jobs.harness.progress;
    EXPECT_EQ(jobs.result.outcomeText, "Patch effettuata con successo, ma con delle frasi non tradotte");
    ASSERT_TRUE(progress.result);
    EXPECT_EQ(progress.result->outcomeText, jobs.result.outcomeText);
    EXPECT_TRUE(jobs.result.logKept && jobs.result.logOffered && progress.result->logOffered);
    EXPECT_EQ(build::readBytes(jobs.game.save("s.ess.log")),
              "File di Log per s.ess\r\n\r\n- TOPIC SEGNATI COME \"DELETED\" -\r\n\r\ndiceria dimenticata\r\n"
              "\r\n- FRASI DEL JOURNAL NON TRADOTTE -\r\n\r\n"
              "--- Uno straniero in un mantello grigio mi osservava dal fondo del porto.\r\n\r\n");

    // The next job counts only its own journal: all recognised, plain success and no log.
    jobs.convert(demo::demoEnglishSave(), EnglishToItalian);
    EXPECT_EQ(jobs.result.outcomeText, "Patch effettuata con successo");
    EXPECT_FALSE(jobs.result.logKept || progress.result->logOffered);
    EXPECT_FALSE(jobs.game.exists("Saves/s.ess.log"));
    EXPECT_EQ(progress.bar(JobStage::Journal), 100);
    EXPECT_EQ(progress.image(JobStage::Journal), StatusImage::Success);

    // A job that fails after its handlers ran keeps its log, with its own headings.
    files.failEvery(test::FileCall::Replace, "s.ess.tmp");
    jobs.convert(demo::demoEnglishSave(), EnglishToItalian, 1);
    EXPECT_EQ(build::readBytes(jobs.game.save("s.ess.log")),
              "File di Log per s.ess\r\n\r\n- TOPIC SEGNATI COME \"DELETED\" -\r\n\r\nforgotten rumour\r\n"
              "\r\n- FRASI DEL JOURNAL NON TRADOTTE -\r\n\r\n");
}

} // namespace
} // namespace orvella
