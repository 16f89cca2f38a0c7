#include "ConversionFixture.h"
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
        fixture.setTopicLinks({{"Balmora", "Balmora"}, {"ring", "anello"}});
        fixture.addJournalEntry("10", "Go to Balmora.", "Vai a Balmora.");
        fixture.addJournalEntry("11", "Find the ring.\nThen rest.", "Trova l'anello.\nPoi riposa.");
        // The built-in fixes come before the game's entries, except where their key is taken.
        fixture.addJournalEntry("12", "Sleep.", "Riposa.");
        fixture.addJournalEntry("-2", "Wake.", "Svegliati.");
        const JournalFixRow fixes[] = {
            {"Q0", "Sleep.", "Dormi."}, {"Q1", "", ""}, {"Q2", "Wake.", "Alzati."}};
        addJournalFixes(fixes, fixture.maps);
        ASSERT_FALSE(fixture.maps.journalEntryMap.contains("-1"));
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
    EXPECT_EQ(
        patch(heading("1 Last Seed (Day 1)") + "Sleep.<P>\n" + heading("2 Last Seed (Day 1)") + "Wake.<P>\n"),
        heading("1 Ultimo Seme (Giorno 1)") + "Dormi.<P>\n" + heading("2 Ultimo Seme (Giorno 1)") +
            "Svegliati.<P>\n");

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

} // namespace
} // namespace orvella
