#include "translate/JournalParagraph.h"
#include "JobFixture.h"
#include "JournalEntries.h"
#include "translate/JournalFixes.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using test::addJournalEntry;

struct NameCase {
    std::string candidate;
    std::string paragraph;
};

std::optional<std::string> resolve(NameCase& c) {
    return resolvePlayerName(c.candidate, c.candidate.find("%Name"), c.paragraph);
}

TEST(ResolvePlayerName, ReadsTheNameAtTheStartInTheMiddleAndForEveryPlaceholder) {
    NameCase start{"%Name was here.", "Dagoth Ur was here."};
    EXPECT_EQ(resolve(start), "Dagoth Ur");
    EXPECT_EQ(start.candidate, "Dagoth Ur was here.");

    NameCase middle{"You, %Name, are the one.", "You, Nerevar, are the one."};
    EXPECT_EQ(resolve(middle), "Nerevar");
    EXPECT_EQ(middle.candidate, middle.paragraph);

    // The anchor runs only to the next placeholder.
    NameCase twice{"%Name, yes, %Name!", "Bob, yes, Bob!"};
    EXPECT_EQ(resolve(twice), "Bob");
    EXPECT_EQ(twice.candidate, "Bob, yes, Bob!");

    NameCase empty{"Hail %Name, friend.", "Hail , friend."};
    EXPECT_EQ(resolve(empty), "");
    EXPECT_EQ(empty.candidate, empty.paragraph);
}

TEST(ResolvePlayerName, AOneCharacterAnchorTakesTheRestOfTheParagraph) {
    NameCase c{"Hail %Name.", "Hail Nerevar."};
    EXPECT_EQ(resolve(c), "Nerevar.");
    EXPECT_EQ(c.candidate, "Hail Nerevar..");
}

TEST(ResolvePlayerName, GivesNoNameWheneverTheAnchorOrTheNameLieOutsideTheTexts) {
    for (NameCase c : {NameCase{"Hail %Name", "Hail Nerevar"},          // no character after the placeholder
                       NameCase{"A long greeting for %Name!", "Short"}, // placeholder beyond the paragraph
                       NameCase{"Hi %Name, well met.", "Hi Bob, hello."}, // anchor not in the paragraph
                       NameCase{"Hi %Name, well met.", ""}}) {
        const std::string before = c.candidate;
        EXPECT_FALSE(resolve(c)) << before;
        EXPECT_EQ(c.candidate, before);
    }
    // The placeholder at the very end of the paragraph: an empty name, nothing read beyond it.
    NameCase atEnd{"Hi %Name.", "Hi "};
    EXPECT_EQ(resolve(atEnd), "");
    EXPECT_EQ(atEnd.candidate, "Hi .");
    NameCase anchorFirst{"ab %Name ab", "ab Cd ab"};
    EXPECT_EQ(resolve(anchorFirst), "Cd ab");
}

struct TranslateParagraph : testing::Test {
    test::JobFixture fixture;
    JobState& state() { return *fixture.state; }
    TranslationMap& entries() { return state().maps.journalEntryMap; }
    std::optional<std::string> translate(std::string_view paragraph) {
        return translateJournalParagraph(paragraph, state());
    }
};

TEST_F(TranslateParagraph, MatchesTheEntryWithoutMarksAndMarksTheTargetTopics) {
    test::setTopicLinks(state().names, {{"Balmora", "Balmora"}, {"ring", "anello"}, {"Caius", "Caius"}});
    addJournalEntry(entries(), "1", "Bring the ring to Caius in Balmora.",
                    "Porta l'anello a Caius a Balmora.");
    EXPECT_EQ(translate("Bring the @ring# to @Caius# in @Balmora#."),
              "Porta l'@anello# a @Caius# a @Balmora#.");
    EXPECT_EQ(translate("Bring the ring to Caius in Balmora."), "Porta l'@anello# a @Caius# a @Balmora#.");
    EXPECT_FALSE(translate("Bring the ring to Caius in Balmora"));
    EXPECT_FALSE(translate("bring the ring to Caius in Balmora."));
}

TEST_F(TranslateParagraph, ConvertingToEnglishMatchesTheItalianTextAndMarksEnglishTopics) {
    fixture.reset(ItalianToEnglish);
    test::setTopicLinks(state().names, {{"ring", "anello"}});
    addJournalEntry(entries(), "1", "I found the ring.", "Ho trovato l'anello.");
    EXPECT_EQ(translate("Ho trovato l'@anello#."), "I found the @ring#.");
    EXPECT_FALSE(translate("I found the ring."));
}

TEST_F(TranslateParagraph, TheFirstMatchingEntryInKeyOrderWins) {
    addJournalEntry(entries(), "20", "Hello.", "Salve.");
    addJournalEntry(entries(), "100", "Hello.", "Ciao.");
    EXPECT_EQ(translate("Hello."), "Ciao.");

    // The built-in entries are keyed "-0" onwards, before every key that begins with a digit.
    TopicTables tables;
    const JournalFixRow fixes[] = {{"HR_Quest", "Hello.", "Buongiorno."}};
    tables.journalFixes = fixes;
    fixture.job.tables = &tables;
    addJournalFixes(state());
    EXPECT_EQ(translate("Hello."), "Buongiorno.");
}

TEST_F(TranslateParagraph, AnEntryWithoutTranslationNeverMatches) {
    addJournalEntry(entries(), "1", "Hello.", std::nullopt);
    EXPECT_FALSE(translate("Hello."));
    addJournalEntry(entries(), "2", "Hello.", "Ciao.");
    EXPECT_EQ(translate("Hello."), "Ciao.");
}

TEST_F(TranslateParagraph, FillsThePlayersNameIntoEveryPlaceholderOfTheCounterpart) {
    addJournalEntry(entries(), "1", "%Name, you are free.", "Sei libero, %Name. Va', %Name!");
    addJournalEntry(entries(), "2", "Caius called me %Name, a fine name.", "Caius mi ha chiamato %Name.");
    addJournalEntry(entries(), "3", "%Name and %Name again.", "%Name e ancora %Name.");
    EXPECT_EQ(translate("Dagoth Ur, you are free."), "Sei libero, Dagoth Ur. Va', Dagoth Ur!");
    EXPECT_EQ(translate("Caius called me Nerevar, a fine name."), "Caius mi ha chiamato Nerevar.");
    EXPECT_EQ(translate("Bob and Bob again."), "Bob e ancora Bob.");
    EXPECT_FALSE(translate("Caius called me Nerevar a fine name."));
}

TEST_F(TranslateParagraph, AnEntryEndingInThePlaceholderAndOneCharacterNeverMatches) {
    addJournalEntry(entries(), "1", "Welcome, %Name.", "Benvenuto, %Name.");
    addJournalEntry(entries(), "2", "Farewell, %Name", "Addio, %Name");
    EXPECT_FALSE(translate("Welcome, Nerevar."));
    EXPECT_FALSE(translate("Farewell, Nerevar"));
}

} // namespace
} // namespace orvella
