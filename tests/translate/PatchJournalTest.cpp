#include "ConversionFixture.h"
#include "JournalEntries.h"
#include "translate/JournalFixes.h"
#include "translate/SaveHandlers.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;

std::string heading(std::string_view inside) {
    return "<FONT COLOR=\"9F0000\">" + std::string(inside) + "</FONT><BR>\n";
}

struct PatchJournal : testing::Test {
    test::ConversionFixture fixture;

    void SetUp() override { fill(EnglishToItalian); }

    void fill(ConversionDirection direction) {
        fixture.reset(direction);
        fixture.names.monthNameMap = direction == EnglishToItalian ? NameMap{{"Last Seed", "Ultimo Seme"}}
                                                                   : NameMap{{"Ultimo Seme", "Last Seed"}};
        fixture.names.monthNameMap.emplace(std::string(62, 'm'), "M63");
        fixture.names.monthNameMap.emplace(std::string(63, 'm'), "M64");
        test::setTopicLinks(fixture.names, {{"Balmora", "Balmora"}, {"ring", "anello"}});
        test::addJournalEntry(fixture.maps.journalEntryMap, "10", "Go to Balmora.", "Vai a Balmora.");
        test::addJournalEntry(fixture.maps.journalEntryMap, "11", "Find the ring.\nThen rest.",
                              "Trova l'anello.\nPoi riposa.");
    }

    // Runs the handler on a JOUR record with exactly these NAME bytes and gives the new NAME bytes.
    std::string patch(std::string_view nameData) {
        auto record = RecordBuilder("JOUR").sub("NAME", nameData).build();
        EXPECT_TRUE(patchJournal(*record, fixture.context));
        EXPECT_EQ(record->size(), test::payloadSize(*record));
        return std::string(*record->findText("NAME")) +
               (record->subrecordAt(0).data.back() ? "<no NUL>" : "");
    }
};

// Untranslated paragraphs, empty lines and text without "<P>" are compared with the literal algorithm on
// random journals; here the count starts again with each journal, and the text ends at its first NUL. The
// progress is told at each heading after the first and at the end.
TEST_F(PatchJournal, RewritesHeadingsAndParagraphsBothWaysTellingItsProgress) {
    for (int i = 0; i < 7; ++i)
        fixture.log.countUntranslatedParagraph();
    const std::string first = heading("16 Last Seed (Day 3)") + "Go to @Balmora#.<P>\n";
    const std::string journal =
        first + "<FONT SIZE=\"2\">\t+1   Last Seed (Day\v  -12)\nFind the @ring#.\nThen rest.<P>\n";
    EXPECT_EQ(patch(journal + std::string(1, '\0') + "x"),
              heading("16 Ultimo Seme (Giorno 3)") + "Vai a @Balmora#.<P>\n" +
                  heading("1 Ultimo Seme (Giorno -12)") + "Trova l'@anello#.\nPoi riposa.<P>\n");
    EXPECT_EQ(fixture.log.untranslatedJournalCount(), 0u);
    EXPECT_EQ(patch(std::string("\0\0\0", 3)), "");
    const auto length = static_cast<std::uint32_t>(journal.size());
    EXPECT_EQ(fixture.journalProgress, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                                           {first.size(), length}, {length, length}, {0, 0}}));

    fill(ItalianToEnglish);
    EXPECT_EQ(patch(heading("16 Ultimo Seme (Giorno 3)") + "Vai a @Balmora#.<P>\n" +
                    heading("2 Last Seed (Day 3)") + "Trova l'anello.\nPoi riposa.<P>\n"),
              heading("16 Last Seed (Day 3)") + "Go to @Balmora#.<P>\n" + heading("2 Last Seed (Day 3)") +
                  "Find the @ring#.\nThen rest.<P>\n");
}

TEST_F(PatchJournal, HeadingsThatCannotBeRewrittenAreCopiedWithTheirLineFeed) {
    const std::string copied[] = {
        heading("16 Sun's Dusk (Day 3)"),                   // unknown month
        "<FONT 16 Last Seed (Day 3)\n",                     // no ">"
        heading("Last Seed (Day 3)"),                       // no day of the month
        heading("16 Last Seed (Giorno 3)"),                 // the other language's word for day
        heading("16 Last Seed (Day x)"),                    // no day number
        heading("16 Last Seed Day 3"),                      // no "("
        heading("2147483648 Last Seed (Day 3)"),            // a number that does not fit
        heading("16 Last Seed (Day -2147483649)"),          // nor does this one
        heading("16 " + std::string(63, 'm') + " (Day 3)"), // a month text of 64 characters
    };
    // Each comes after a good heading, whose values must not be used again.
    for (const std::string& line : copied)
        EXPECT_EQ(
            patch(heading("1 Last Seed (Day 1)") + "Go to Balmora.<P>\n" + line + "Go to Balmora.<P>\n"),
            heading("1 Ultimo Seme (Giorno 1)") + "Vai a @Balmora#.<P>\n" + line + "Vai a @Balmora#.<P>\n")
            << line;
    // The first line is a heading whatever it begins with; the limits of the numbers and the month text hold.
    EXPECT_EQ(patch("16 Last Seed (Day 3)\nGo to Balmora.<P>\n"),
              "16 Last Seed (Day 3)\nVai a @Balmora#.<P>\n");
    EXPECT_EQ(patch(heading("-2147483648 " + std::string(62, 'm') + " (Day 2147483647)")),
              heading("-2147483648 M63 (Giorno 2147483647)"));
}

// Real saves from another edition: nothing in them can be translated, so nothing of them may be lost.
TEST(RealSaveJournal, KeepsEveryByteOfTheTextAndIsAFixedPointBothWays) {
    for (const char* saveName : test::RealSaves) {
        std::unique_ptr<Record> record = test::takeRecord(test::realSaveBytes(saveName), "JOUR");
        ASSERT_TRUE(record) << saveName;
        const std::string text(record->subrecordAt(0).text());
        ASSERT_LT(text.size() + 1, record->subrecordAt(0).size()) << saveName;
        std::size_t paragraphs = 0;
        for (std::size_t at = text.find("<P>\n"); at != std::string::npos; at = text.find("<P>\n", at + 1))
            ++paragraphs;
        for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish, EnglishToItalian}) {
            test::ConversionFixture fixture(direction);
            EXPECT_TRUE(patchJournal(*record, fixture.context));
            EXPECT_EQ(test::bytesOf(*record), RecordBuilder("JOUR").text("NAME", text).bytes()) << saveName;
            EXPECT_EQ(fixture.log.untranslatedJournalCount(), paragraphs) << saveName;
        }
    }
}

TEST(AddJournalFixes, TurnsEveryRowWithTextsIntoAnEntryKeyedByItsPositionAndKeepsTakenKeys) {
    test::ConversionFixture fixture;
    const JournalFixRow rows[] = {{"Q0", "Zero.", "Zero it."}, {"Q1", "One.", "Uno."},   {"Q2", "", ""},
                                  {"Q3", "3", "3i"},           {"Q4", "4", "4i"},        {"Q5", "5", "5i"},
                                  {"Q6", "6", "6i"},           {"Q7", "7", "7i"},        {"Q8", "8", "8i"},
                                  {"Q9", "9", "9i"},           {"Q10", "Ten.", "Dieci."}};
    TranslationMap& entries = fixture.maps.journalEntryMap;
    test::addJournalEntry(entries, "-1", "Kept.", "Tenuto.");
    addJournalFixes(rows, fixture.maps);
    EXPECT_EQ(entries.size(), 10u);
    EXPECT_FALSE(entries.contains("-2"));
    EXPECT_EQ(entries.at("-1")->findText("NAME"), "Kept.");
    EXPECT_EQ(test::bytesOf(*entries.at("-10")),
              RecordBuilder("INFO").text("INAM", "-10").text("NAME", "Ten.").bytes());
    EXPECT_EQ(entries.at("-10")->translation()->text(), "Dieci.");
    EXPECT_EQ(entries.at("-10")->translation()->size(), 7u);
}

} // namespace
} // namespace orvella
