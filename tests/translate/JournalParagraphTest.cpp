#include "translate/JournalParagraph.h"
#include "ConversionFixture.h"
#include "JournalEntries.h"
#include "translate/JournalFixes.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using test::addJournalEntry;

TEST(ResolvePlayerName, ReadsTheNameUpToTheAnchorOrTheLastCharacterAndLeavesTheCandidateWhenItCannot) {
    const struct {
        std::string candidate, paragraph;
        std::optional<std::string> name;
        std::string filled; // the candidate afterwards
    } cases[] = {
        {"%Name was here.", "Dagoth Ur was here.", "Dagoth Ur", "Dagoth Ur was here."},
        {"You, %Name, are the one.", "You, Nerevar, are the one.", "Nerevar", "You, Nerevar, are the one."},
        // The anchor runs only to the next placeholder.
        {"%Name, yes, %Name!", "Bob, yes, Bob!", "Bob", "Bob, yes, Bob!"},
        {"Hi %Name, bye %Name.", "Hi Bob, bye Bob.", "Bob", "Hi Bob, bye Bob."},
        {"Hail %Name, friend.", "Hail , friend.", "", "Hail , friend."},
        // An anchor that is empty because the candidate ends with the placeholder, or that is found before
        // the placeholder: the name takes the rest of the paragraph.
        {"Report to %Name", "Report to Dagoth Ur", "Dagoth Ur", "Report to Dagoth Ur"},
        {"Report to %Name", "Report to ", "", "Report to "},
        {"Report to %Name", "Go to Ald'ruhn", "ruhn", "Report to ruhn"},
        {"ab %Name ab", "ab Cd ab", "Cd ab", "ab Cd ab ab"},
        // One character after the only placeholder: the name ends before the paragraph's last character.
        {"Hail %Name.", "Hail Dagoth Ur.", "Dagoth Ur", "Hail Dagoth Ur."},
        {"%Name!", "Nerevar!", "Nerevar", "Nerevar!"},
        {"Hail %Name.", "Hail .", "", "Hail ."},
        {"Hail %Name.", "Hail Nerevar!", {}, "Hail %Name."}, // the paragraph ends with another character
        {"Hail %Name.", "Hail ", {}, "Hail %Name."},         // nothing left for the last character
        {"Hail %Name.", "Hi", {}, "Hail %Name."},
        // The anchor not in the paragraph, or the placeholder beyond its end.
        {"Hi %Name, well met.", "Hi Bob, hello.", {}, "Hi %Name, well met."},
        {"A long greeting for %Name!", "Short", {}, "A long greeting for %Name!"},
        {"Hi %Name, well met.", "", {}, "Hi %Name, well met."},
    };
    for (const auto& c : cases) {
        std::string candidate = c.candidate;
        EXPECT_EQ(resolvePlayerName(candidate, candidate.find("%Name"), c.paragraph), c.name)
            << c.candidate << " / " << c.paragraph;
        EXPECT_EQ(candidate, c.filled) << c.candidate << " / " << c.paragraph;
    }
}

struct TranslateParagraph : testing::Test {
    test::ConversionFixture fixture;
    TranslationMap& entries() { return fixture.maps.journalEntryMap; }
    std::optional<std::string> translate(std::string_view paragraph) {
        return translateJournalParagraph(paragraph, fixture.context);
    }
};

TEST_F(TranslateParagraph, MatchesTheEntryWithoutMarksAndMarksTheTargetTopics) {
    test::setTopicLinks(fixture.names, {{"Balmora", "Balmora"}, {"ring", "anello"}, {"Caius", "Caius"}});
    addJournalEntry(entries(), "1", "Bring the ring to Caius in Balmora.",
                    "Porta l'anello a Caius a Balmora.");
    EXPECT_EQ(translate("Bring the @ring# to @Caius# in @Balmora#."),
              "Porta l'@anello# a @Caius# a @Balmora#.");
    EXPECT_EQ(translate("Bring the ring to Caius in Balmora."), "Porta l'@anello# a @Caius# a @Balmora#.");
    EXPECT_FALSE(translate("Bring the ring to Caius in Balmora"));
    EXPECT_FALSE(translate("bring the ring to Caius in Balmora."));

    fixture.reset(ItalianToEnglish);
    test::setTopicLinks(fixture.names, {{"ring", "anello"}});
    addJournalEntry(entries(), "1", "I found the ring.", "Ho trovato l'anello.");
    EXPECT_EQ(translate("Ho trovato l'@anello#."), "I found the @ring#.");
    EXPECT_FALSE(translate("I found the ring."));
}

TEST_F(TranslateParagraph, MarksTopicsAfterLineBreaksAndTabsBothWays) {
    for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish}) {
        fixture.reset(direction);
        test::setTopicLinks(fixture.names, {{"ring", "anello"}, {"Balmora", "Balmora"}});
        addJournalEntry(entries(), "1", "I found it.\nring and\tBalmora.\r\nring, xring",
                        "L'ho trovato.\nanello e\tBalmora.\r\nanello, xanello");
        if (direction == EnglishToItalian)
            EXPECT_EQ(translate("I found it.\n@ring# and\tBalmora.\r\nring, xring"),
                      "L'ho trovato.\n@anello# e\t@Balmora#.\r\n@anello#, xanello");
        else
            EXPECT_EQ(translate("L'ho trovato.\nanello e\t@Balmora#.\r\nanello, xanello"),
                      "I found it.\n@ring# and\t@Balmora#.\r\n@ring#, xring");
    }
}

TEST_F(TranslateParagraph, TheFirstTranslatedEntryInKeyOrderWinsAndBuiltInFixesComeFirst) {
    addJournalEntry(entries(), "1", "Hello.", std::nullopt);
    EXPECT_FALSE(translate("Hello."));
    addJournalEntry(entries(), "20", "Hello.", "Salve.");
    addJournalEntry(entries(), "100", "Hello.", "Ciao.");
    EXPECT_EQ(translate("Hello."), "Ciao.");

    // The built-in entries are keyed "-0" onwards, before every key that begins with a digit.
    TopicTables tables;
    const JournalFixRow fixes[] = {{"HR_Quest", "Hello.", "Buongiorno."}};
    tables.journalFixes = fixes;
    addJournalFixes(tables.journalFixes, fixture.maps);
    EXPECT_EQ(translate("Hello."), "Buongiorno.");
}

TEST_F(TranslateParagraph, FillsThePlayersNameIntoEveryPlaceholderOfTheCounterpartBothWays) {
    const struct {
        ConversionDirection direction;
        std::string_view paragraph;
        std::optional<std::string_view> translated;
    } cases[] = {
        {EnglishToItalian, "Dagoth Ur, you are free.", "Sei libero, Dagoth Ur. Va', Dagoth Ur!"},
        {EnglishToItalian, "Caius called me Nerevar, a fine name.", "Caius mi ha chiamato Nerevar."},
        {EnglishToItalian, "Bob and Bob again.", "Bob e ancora Bob."},
        {EnglishToItalian, "Caius called me Nerevar a fine name.", std::nullopt},
        // Entries that end with the placeholder, or with it and one character.
        {EnglishToItalian, "Report to Dagoth Ur", "Rapporto a Dagoth Ur"},
        {ItalianToEnglish, "Rapporto a Dagoth Ur", "Report to Dagoth Ur"},
        {EnglishToItalian, "I gave the ring to Dagoth Ur.", "Ho dato l'anello a Dagoth Ur!"},
        {ItalianToEnglish, "Ho dato l'anello a Dagoth Ur!", "I gave the ring to Dagoth Ur."},
        {EnglishToItalian, "I gave the ring to Dagoth Ur!", std::nullopt},
        {ItalianToEnglish, "Ho dato l'anello a Dagoth Ur.", std::nullopt},
        {EnglishToItalian, "Dagoth Ur?", "Evviva Dagoth Ur!"},
        {ItalianToEnglish, "Evviva Dagoth Ur!", "Dagoth Ur?"},
    };
    for (const auto& c : cases) {
        fixture.reset(c.direction);
        addJournalEntry(entries(), "1", "%Name, you are free.", "Sei libero, %Name. Va', %Name!");
        addJournalEntry(entries(), "2", "Caius called me %Name, a fine name.", "Caius mi ha chiamato %Name.");
        addJournalEntry(entries(), "3", "%Name and %Name again.", "%Name e ancora %Name.");
        addJournalEntry(entries(), "4", "Report to %Name", "Rapporto a %Name");
        addJournalEntry(entries(), "5", "I gave the ring to %Name.", "Ho dato l'anello a %Name!");
        addJournalEntry(entries(), "6", "%Name?", "Evviva %Name!");
        EXPECT_EQ(translate(c.paragraph), c.translated) << c.paragraph;
    }
}

} // namespace
} // namespace orvella
