#include "ConversionFixture.h"
#include "JournalEntries.h"
#include "RecordViews.h"
#include "translate/JournalFixes.h"
#include "translate/JournalHeadings.h"
#include "translate/SaveHandlers.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;

const std::string Section = "\n- FRASI DEL JOURNAL NON TRADOTTE -\n\n";
const std::string Nul(1, '\0');

std::string heading(std::string_view inside) {
    return "<FONT COLOR=\"9F0000\">" + std::string(inside) + "</FONT><BR>\n";
}

struct PatchJournal : testing::Test {
    test::ConversionFixture fixture;
    std::unique_ptr<Record> record;

    void SetUp() override { fill(EnglishToItalian); }

    void fill(ConversionDirection direction) {
        fixture.reset(direction);
        fixture.names.monthNameMap =
            direction == EnglishToItalian
                ? NameMap{{"Last Seed", "Ultimo Seme"}, {"Morning Star", "Stella del Mattino"}}
                : NameMap{{"Ultimo Seme", "Last Seed"}, {"Stella del Mattino", "Morning Star"}};
        test::setTopicLinks(fixture.names, {{"Balmora", "Balmora"}, {"ring", "anello"}});
        test::addJournalEntry(fixture.maps.journalEntryMap, "10", "Go to Balmora.", "Vai a Balmora.");
        test::addJournalEntry(fixture.maps.journalEntryMap, "11", "Find the ring.\nThen rest.",
                              "Trova l'anello.\nPoi riposa.");
    }

    // Runs the handler on a JOUR record with exactly these NAME bytes and gives the new NAME bytes.
    std::string patch(std::string_view nameData) {
        record = RecordBuilder("JOUR").sub("NAME", nameData).build();
        EXPECT_TRUE(patchJournal(*record, fixture.context));
        const auto& data = record->subrecordAt(0).data;
        EXPECT_EQ(record->size(), 8u + data.size());
        return std::string(data.begin(), data.end());
    }
};

TEST_F(PatchJournal, RewritesHeadingsAndParagraphsInBothDirectionsAndEndsTheTextWithOneNul) {
    EXPECT_EQ(patch(heading("16 Last Seed (Day 3)") + "Go to @Balmora#.<P>\n" +
                    "<FONT SIZE=\"2\" COLOR=\"000000\">1   Morning Star (Day  12)</FONT>\n" +
                    "Find the @ring#.\nThen rest.<P>\n" + Nul),
              heading("16 Ultimo Seme (Giorno 3)") + "Vai a @Balmora#.<P>\n" +
                  heading("1 Stella del Mattino (Giorno 12)") + "Trova l'@anello#.\nPoi riposa.<P>\n" + Nul);
    EXPECT_EQ(fixture.log.untranslatedJournalCount(), 0u);
    EXPECT_EQ(fixture.log.text, Section);
    ASSERT_FALSE(fixture.journalProgress.empty());
    EXPECT_EQ(fixture.journalProgress.back().first, fixture.journalProgress.back().second);

    fill(ItalianToEnglish);
    EXPECT_EQ(patch(heading("16 Ultimo Seme (Giorno 3)") + "Vai a @Balmora#.<P>\n" +
                    heading("2 Last Seed (Day 3)") + "Trova l'anello.\nPoi riposa.<P>\n"),
              heading("16 Last Seed (Day 3)") + "Go to @Balmora#.<P>\n" + heading("2 Last Seed (Day 3)") +
                  "Find the @ring#.\nThen rest.<P>\n" + Nul);
}

TEST_F(PatchJournal, HeadingsThatCannotBeRewrittenAreCopiedWithTheirLineFeed) {
    const std::string month63(62, 'm'), month64(63, 'm');
    fixture.names.monthNameMap.emplace(month63, "M63");
    fixture.names.monthNameMap.emplace(month64, "M64");
    const std::string copied[] = {
        heading("16 Sun's Dusk (Day 3)"),         // unknown month
        "<FONT 16 Last Seed (Day 3)\n",           // no ">"
        heading("Last Seed (Day 3)"),             // no day of the month
        heading("16 Last Seed (Giorno 3)"),       // the other language's word for day
        heading("16 Last Seed (Day x)"),          // no day number
        heading("16 Last Seed Day 3"),            // no "("
        heading("99999999999 Last Seed (Day 3)"), // a number that does not fit
        heading("16 " + month64 + " (Day 3)"),    // a month text of 64 characters
    };
    // Each comes after a good heading, whose values must not be used again.
    for (const std::string& line : copied)
        EXPECT_EQ(
            patch(heading("1 Last Seed (Day 1)") + "Go to Balmora.<P>\n" + line + "Go to Balmora.<P>\n"),
            heading("1 Ultimo Seme (Giorno 1)") + "Vai a @Balmora#.<P>\n" + line + "Vai a @Balmora#.<P>\n" +
                Nul)
            << line;
    // The first line is a heading whatever it begins with.
    EXPECT_EQ(patch("16 Last Seed (Day 3)\nGo to Balmora.<P>\n"),
              "16 Last Seed (Day 3)\nVai a @Balmora#.<P>\n" + Nul);
    EXPECT_EQ(patch(heading("16 " + month63 + " (Day 3)") + "Go to Balmora.<P>\n"),
              heading("16 M63 (Giorno 3)") + "Vai a @Balmora#.<P>\n" + Nul);
    EXPECT_EQ(fixture.log.untranslatedJournalCount(), 0u);
}

TEST_F(PatchJournal, UntranslatedParagraphsAndTextsWithoutTheMarkAreKeptWholeCountedAndLogged) {
    for (int i = 0; i < 7; ++i)
        fixture.log.countUntranslatedParagraph();
    const std::string day3 = heading("16 Last Seed (Day 3)");
    const std::string giorno3 = heading("16 Ultimo Seme (Giorno 3)");
    EXPECT_EQ(patch(day3 + "I met @Fargoth#.\nHe lost a ring.<P>\n" + day3 + "Go to Balmora.<P>\n" +
                    heading("17 Last Seed (Day 4)") + "A second\n\nstrange entry.<P>\n"),
              giorno3 + "I met @Fargoth#.\nHe lost a ring.<P>\n" + giorno3 + "Vai a @Balmora#.<P>\n" +
                  heading("17 Ultimo Seme (Giorno 4)") + "A second\n\nstrange entry.<P>\n" + Nul);
    EXPECT_EQ(fixture.log.untranslatedJournalCount(), 2u);
    EXPECT_EQ(fixture.log.text,
              Section + "--- I met @Fargoth#.\nHe lost a ring.\n\n--- A second\n\nstrange entry.\n\n");

    fixture.log.text.clear();
    EXPECT_EQ(patch(day3 + "P>\n" + day3 + "No end here\n" + day3 + "Go to Balmora.<P>"),
              giorno3 + "P>\n" + giorno3 + "No end here\n" + giorno3 + "Vai a @Balmora#.<P>\n" + Nul);
    EXPECT_EQ(fixture.log.untranslatedJournalCount(), 2u);
    EXPECT_EQ(fixture.log.text, Section + "--- P>\n\n--- No end here\n\n");
}

TEST_F(PatchJournal, PassesOverEmptyLinesStopsAfterALastHeadingAndEndsTheTextAtItsFirstNul) {
    EXPECT_EQ(patch("\n\n" + heading("16 Last Seed (Day 3)") + "\n\nGo to Balmora.<P>\n\n\n" +
                    heading("17 Last Seed (Day 4)")),
              heading("16 Ultimo Seme (Giorno 3)") + "Vai a @Balmora#.<P>\n" +
                  heading("17 Ultimo Seme (Giorno 4)") + Nul);
    EXPECT_EQ(patch(std::string("\0\0\0", 3)), Nul);
    EXPECT_EQ(fixture.log.text, Section + Section);
    EXPECT_EQ(patch(heading("16 Last Seed (Day 3)") + "Go to Balmora.<P>\n" + Nul + "Go to Balmora.<P>\n" +
                    std::string(1000, '\0') + "leftover"),
              heading("16 Ultimo Seme (Giorno 3)") + "Vai a @Balmora#.<P>\n" + Nul);
}

TEST_F(PatchJournal, TellsItsProgressWithTheOffsetOfEachHeadingThenItsEnd) {
    const std::string entry = heading("16 Last Seed (Day 3)") + "Go to Balmora.<P>\n";
    patch(entry + entry + entry + entry);
    const auto length = static_cast<std::uint32_t>(entry.size());
    EXPECT_EQ(fixture.journalProgress,
              (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{length, 4 * length},
                                                                    {2 * length, 4 * length},
                                                                    {3 * length, 4 * length},
                                                                    {4 * length, 4 * length}}));
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
            EXPECT_EQ(test::bytesOf(*record), RecordBuilder("JOUR").sub("NAME", text + Nul).bytes())
                << saveName;
            EXPECT_EQ(fixture.log.untranslatedJournalCount(), paragraphs) << saveName;
        }
    }
}

// The day of the month, the month and the day number a heading's text gives, or "none".
std::string scanned(std::string_view text, ConversionDirection direction = EnglishToItalian) {
    auto heading = scanHeading(text, direction);
    return heading ? std::to_string(heading->dayOfMonth) + "|" + heading->month + "|" +
                         std::to_string(heading->dayNumber)
                   : "none";
}

TEST(ScanHeading, ReadsLikeFormattedInput) {
    EXPECT_EQ(scanned("  +16\tLast Seed (Day\n-3)</FONT>"), "16|Last Seed|-3");
    EXPECT_EQ(scanned("16 Ultimo Seme(Giorno 3", ItalianToEnglish), "16|Ultimo Sem|3");
    EXPECT_EQ(scanned("-2147483648 M (Day 2147483647"), "-2147483648|M|2147483647");
    for (std::string_view text :
         {"16 (Day 3)", "16 Last Seed (Day", "16 Last Seed", "-2147483649 M (Day 1", "1 M (Day 2147483648"})
        EXPECT_EQ(scanned(text), "none") << text;
}

TEST(AddJournalFixes, TurnsEveryRowWithTextsIntoAnEntryKeyedByItsPosition) {
    test::ConversionFixture fixture;
    const JournalFixRow rows[] = {
        {"Q0", "Zero.", "Zero it."}, {"Q1", "One.", "Uno."}, {"Q2", "Two.", "Due."},   {"Q3", "", ""},
        {"Q4", "4", "4i"},           {"Q5", "5", "5i"},      {"Q6", "6", "6i"},        {"Q7", "7", "7i"},
        {"Q8", "8", "8i"},           {"Q9", "9", "9i"},      {"Q10", "Ten.", "Dieci."}};
    TopicTables tables;
    tables.journalFixes = rows;
    TranslationMap& entries = fixture.maps.journalEntryMap;
    test::addJournalEntry(entries, "-1", "Kept.", "Tenuto.");
    addJournalFixes(tables.journalFixes, fixture.maps);

    ASSERT_EQ(entries.size(), 10u);
    EXPECT_FALSE(entries.contains("-3"));
    EXPECT_EQ(entries.at("-1")->findText("NAME"), "Kept.");
    EXPECT_EQ(entries.at("-0")->findText("NAME"), "Zero.");
    const TranslatedRecord& ten = *entries.at("-10");
    EXPECT_EQ(test::bytesOf(ten), RecordBuilder("INFO").text("INAM", "-10").text("NAME", "Ten.").bytes());
    ASSERT_TRUE(ten.translation());
    EXPECT_TRUE(ten.translation()->tag.is("-TR-"));
    EXPECT_EQ(std::string(ten.translation()->data.begin(), ten.translation()->data.end()), "Dieci." + Nul);
}

} // namespace
} // namespace orvella
