#include "translate/JournalParagraph.h"
#include "JobFixture.h"
#include "JournalEntries.h"
#include "translate/JournalFixes.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using test::addJournalEntry;

TEST(ResolvePlayerName, ReadsTheNameUpToTheAnchorAndGivesNoNameWheneverTextsWouldBeLeft) {
    const struct {
        std::string candidate, paragraph;
        std::optional<std::string> name;
        std::string filled; // the candidate afterwards
    } cases[] = {
        {"%Name was here.", "Dagoth Ur was here.", "Dagoth Ur", "Dagoth Ur was here."},
        {"You, %Name, are the one.", "You, Nerevar, are the one.", "Nerevar", "You, Nerevar, are the one."},
        // The anchor runs only to the next placeholder.
        {"%Name, yes, %Name!", "Bob, yes, Bob!", "Bob", "Bob, yes, Bob!"},
        {"Hail %Name, friend.", "Hail , friend.", "", "Hail , friend."},
        // A one-character anchor is empty: the name takes the rest of the paragraph.
        {"Hail %Name.", "Hail Nerevar.", "Nerevar.", "Hail Nerevar.."},
        {"ab %Name ab", "ab Cd ab", "Cd ab", "ab Cd ab ab"},
        // The placeholder at the very end of the paragraph: an empty name, nothing read beyond it.
        {"Hi %Name.", "Hi ", "", "Hi ."},
        {"Hail %Name", "Hail Nerevar", {}, "Hail %Name"}, // no character after the placeholder
        {"A long greeting for %Name!", "Short", {}, "A long greeting for %Name!"},
        {"Hi %Name, well met.", "Hi Bob, hello.", {}, "Hi %Name, well met."}, // anchor not in the paragraph
        {"Hi %Name, well met.", "", {}, "Hi %Name, well met."},
    };
    for (const auto& c : cases) {
        std::string candidate = c.candidate;
        EXPECT_EQ(resolvePlayerName(candidate, candidate.find("%Name"), c.paragraph), c.name) << c.candidate;
        EXPECT_EQ(candidate, c.filled) << c.candidate;
    }
}

struct TranslateParagraph : testing::Test {
    test::JobFixture fixture;
    TranslationMap& entries() { return fixture.state->maps.journalEntryMap; }
    std::optional<std::string> translate(std::string_view paragraph) {
        return translateJournalParagraph(paragraph, *fixture.state);
    }
};

TEST_F(TranslateParagraph, MatchesTheEntryWithoutMarksAndMarksTheTargetTopics) {
    test::setTopicLinks(fixture.state->names,
                        {{"Balmora", "Balmora"}, {"ring", "anello"}, {"Caius", "Caius"}});
    addJournalEntry(entries(), "1", "Bring the ring to Caius in Balmora.",
                    "Porta l'anello a Caius a Balmora.");
    EXPECT_EQ(translate("Bring the @ring# to @Caius# in @Balmora#."),
              "Porta l'@anello# a @Caius# a @Balmora#.");
    EXPECT_EQ(translate("Bring the ring to Caius in Balmora."), "Porta l'@anello# a @Caius# a @Balmora#.");
    EXPECT_FALSE(translate("Bring the ring to Caius in Balmora"));
    EXPECT_FALSE(translate("bring the ring to Caius in Balmora."));

    fixture.reset(ItalianToEnglish);
    test::setTopicLinks(fixture.state->names, {{"ring", "anello"}});
    addJournalEntry(entries(), "1", "I found the ring.", "Ho trovato l'anello.");
    EXPECT_EQ(translate("Ho trovato l'@anello#."), "I found the @ring#.");
    EXPECT_FALSE(translate("I found the ring."));
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
    fixture.job.tables = &tables;
    addJournalFixes(*fixture.state);
    EXPECT_EQ(translate("Hello."), "Buongiorno.");
}

TEST_F(TranslateParagraph, FillsThePlayersNameIntoEveryPlaceholderOfTheCounterpart) {
    addJournalEntry(entries(), "1", "%Name, you are free.", "Sei libero, %Name. Va', %Name!");
    addJournalEntry(entries(), "2", "Caius called me %Name, a fine name.", "Caius mi ha chiamato %Name.");
    addJournalEntry(entries(), "3", "%Name and %Name again.", "%Name e ancora %Name.");
    // An entry ending in the placeholder and one character, or in the placeholder, never matches.
    addJournalEntry(entries(), "4", "Welcome, %Name.", "Benvenuto, %Name.");
    addJournalEntry(entries(), "5", "Farewell, %Name", "Addio, %Name");
    EXPECT_EQ(translate("Dagoth Ur, you are free."), "Sei libero, Dagoth Ur. Va', Dagoth Ur!");
    EXPECT_EQ(translate("Caius called me Nerevar, a fine name."), "Caius mi ha chiamato Nerevar.");
    EXPECT_EQ(translate("Bob and Bob again."), "Bob e ancora Bob.");
    EXPECT_FALSE(translate("Caius called me Nerevar a fine name."));
    EXPECT_FALSE(translate("Welcome, Nerevar."));
    EXPECT_FALSE(translate("Farewell, Nerevar"));
}

} // namespace
} // namespace orvella
