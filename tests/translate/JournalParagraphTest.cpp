#include "translate/JournalParagraph.h"
#include "ConversionFixture.h"
#include "JournalEntries.h"
#include "translate/JournalFixes.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

TEST(ResolvePlayerName, ReadsTheNameUpToTheAnchorOrTheLastCharacterAndLeavesTheCandidateWhenItCannot) {
    const struct {
        std::string candidate, paragraph;
        std::optional<std::string> name;
        std::string filled; // the candidate afterwards
    } cases[] = {
        {"You, %Name, are the one.", "You, Nerevar, are the one.", "Nerevar", "You, Nerevar, are the one."},
        // The anchor runs only to the next placeholder.
        {"Hi %Name, bye %Name.", "Hi Bob, bye Bob.", "Bob", "Hi Bob, bye Bob."},
        {"Hail %Name, friend.", "Hail , friend.", "", "Hail , friend."},
        // An empty anchor, or one found before the placeholder: the name takes the rest of the paragraph.
        {"Report to %Name", "Report to Dagoth Ur", "Dagoth Ur", "Report to Dagoth Ur"},
        {"Report to %Name", "Go to Ald'ruhn", "ruhn", "Report to ruhn"},
        {"Report to %Name", "Hi", {}, "Report to %Name"},
        {"ab %Name ab", "ab Cd ab", "Cd ab", "ab Cd ab ab"},
        // One character after the only placeholder: the name ends before the paragraph's last character.
        {"Hail %Name.", "Hail Dagoth Ur.", "Dagoth Ur", "Hail Dagoth Ur."},
        {"Hail %Name.", "Hail .", "", "Hail ."},
        {"Hail %Name.", "Hail Nerevar!", {}, "Hail %Name."},
        {"Hail %Name.", "Hail ", {}, "Hail %Name."},
        // The anchor not in the paragraph, or the placeholder beyond its end.
        {"Hi %Name, well met.", "Hi Bob, hello.", {}, "Hi %Name, well met."},
        {"A long greeting for %Name!", "Short", {}, "A long greeting for %Name!"},
    };
    for (const auto& c : cases) {
        std::string candidate = c.candidate;
        EXPECT_EQ(resolvePlayerName(candidate, candidate.find("%Name"), c.paragraph), c.name)
            << c.candidate << " / " << c.paragraph;
        EXPECT_EQ(candidate, c.filled) << c.candidate << " / " << c.paragraph;
    }
}

TEST(TranslateParagraph, MatchesTheEntryWithoutMarksFillsTheNameAndMarksTheTargetTopicsBothWays) {
    const struct {
        ConversionDirection direction;
        std::string_view paragraph;
        std::optional<std::string_view> translated;
    } cases[] = {
        {EnglishToItalian, "Bring the @ring# to Caius in @Balmora#.",
         "Porta l'@anello# a @Caius# a @Balmora#."},
        {EnglishToItalian, "Bring the ring to Caius in Balmora", std::nullopt},
        {EnglishToItalian, "bring the ring to Caius in Balmora.", std::nullopt},
        {ItalianToEnglish, "Porta l'anello a @Caius# a Balmora.",
         "Bring the @ring# to @Caius# in @Balmora#."},
        // Topics after line breaks and tabs, not inside words.
        {EnglishToItalian, "Found.\nring and\tBalmora.\r\nring, xring",
         "Trovato.\n@anello# e\t@Balmora#.\r\n@anello#, xanello"},
        {ItalianToEnglish, "Trovato.\nanello e\tBalmora.\r\nanello, xanello",
         "Found.\n@ring# and\t@Balmora#.\r\n@ring#, xring"},
        // The player's name in every placeholder of the counterpart, entries that end with it included.
        {EnglishToItalian, "Dagoth Ur, you are free.", "Sei libero, Dagoth Ur. Va', Dagoth Ur!"},
        {EnglishToItalian, "Report to Dagoth Ur", "Rapporto a Dagoth Ur"},
        {ItalianToEnglish, "Rapporto a Dagoth Ur", "Report to Dagoth Ur"},
        {EnglishToItalian, "I gave the @ring# to Dagoth Ur.", "Ho dato l'@anello# a Dagoth Ur!"},
        {ItalianToEnglish, "Ho dato l'anello a Dagoth Ur!", "I gave the @ring# to Dagoth Ur."},
        {EnglishToItalian, "I gave the ring to Dagoth Ur!", std::nullopt},
        {ItalianToEnglish, "Ho dato l'anello a Dagoth Ur.", std::nullopt},
        // The first translated entry in key order wins, and the built-in fixes come before every other.
        {EnglishToItalian, "Hello.", "Buongiorno."},
        {EnglishToItalian, "Bye.", "Ciao."},
    };
    for (const auto& c : cases) {
        test::ConversionFixture fixture(c.direction);
        test::setTopicLinks(fixture.names, {{"Balmora", "Balmora"}, {"ring", "anello"}, {"Caius", "Caius"}});
        TranslationMap& entries = fixture.maps.journalEntryMap;
        test::addJournalEntry(entries, "1", "Bring the ring to Caius in Balmora.",
                              "Porta l'anello a Caius a Balmora.");
        test::addJournalEntry(entries, "2", "Found.\nring and\tBalmora.\r\nring, xring",
                              "Trovato.\nanello e\tBalmora.\r\nanello, xanello");
        test::addJournalEntry(entries, "3", "%Name, you are free.", "Sei libero, %Name. Va', %Name!");
        test::addJournalEntry(entries, "4", "Report to %Name", "Rapporto a %Name");
        test::addJournalEntry(entries, "5", "I gave the ring to %Name.", "Ho dato l'anello a %Name!");
        test::addJournalEntry(entries, "60", "Bye.", std::nullopt);
        test::addJournalEntry(entries, "61", "Bye.", "Ciao.");
        test::addJournalEntry(entries, "7", "Bye.", "Arrivederci.");
        test::addJournalEntry(entries, "8", "Hello.", "Salve.");
        const JournalFixRow fixes[] = {{"HR_Quest", "Hello.", "Buongiorno."}};
        addJournalFixes(fixes, fixture.maps);
        EXPECT_EQ(translateJournalParagraph(c.paragraph, fixture.context), c.translated) << c.paragraph;
    }
}

} // namespace
} // namespace orvella
