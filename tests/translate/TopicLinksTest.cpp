#include "translate/TopicLinks.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace orvella {
namespace {

// A link list as loadTopicTables leaves it: longest names first.
std::vector<TopicLink> linksOf(std::initializer_list<std::string_view> names) {
    std::vector<TopicLink> links;
    for (std::string_view name : names)
        links.push_back({name, name, static_cast<std::uint32_t>(name.size())});
    std::stable_sort(links.begin(), links.end(),
                     [](const TopicLink& a, const TopicLink& b) { return a.fromLength > b.fromLength; });
    return links;
}

std::string marked(std::string text, std::initializer_list<std::string_view> names) {
    insertTopicLinks(text, linksOf(names));
    return text;
}

TEST(FindTopic, AcceptsAnOccurrenceOnlyAtTheSearchStartOrAfterAnOpeningCharacter) {
    EXPECT_EQ(findTopic("ring", 0, "ring").position, 0u);
    EXPECT_TRUE(findTopic("ring", 0, "ring").accepted);
    for (std::string_view text : {"a ring", "a\"ring", "a)ring", "a'ring"}) {
        TopicMatch match = findTopic(text, 0, "ring");
        EXPECT_TRUE(match.accepted) << text;
        EXPECT_EQ(match.position, 2u) << text;
    }
    for (std::string_view text : {"abring", "a(ring", "a-ring", "a\nring", "a@ring", "a#ring"}) {
        TopicMatch match = findTopic(text, 0, "ring");
        EXPECT_FALSE(match.accepted) << text;
        EXPECT_EQ(match.position, 2u) << text;
    }
    // The search start itself accepts whatever stands before it.
    EXPECT_TRUE(findTopic("abring", 2, "ring").accepted);
    EXPECT_FALSE(findTopic("ring", 1, "ring").position);
    EXPECT_FALSE(findTopic("ring", 9, "ring").position);
}

TEST(FindTopic, FoldsOnlyTheAsciiLetters) {
    EXPECT_EQ(findTopic("Go to BALMORA", 0, "balmora").position, 6u);
    EXPECT_EQ(findTopic("go to balmora", 0, "Balmora").position, 6u);
    EXPECT_EQ(findTopic("citt\xE0", 0, "citt\xE0").position, 0u);
    EXPECT_FALSE(findTopic("CITT\xC0", 0, "citt\xE0").position);
}

TEST(IsInsideLink, LooksBackToTheSearchStartForTheNearestMark) {
    const std::string_view text = "@Caius Cosades# and Caius";
    EXPECT_TRUE(isInsideLink(text, 0, 1));
    EXPECT_TRUE(isInsideLink(text, 0, 7));
    EXPECT_FALSE(isInsideLink(text, 0, 20));
    EXPECT_FALSE(isInsideLink(text, 0, 0));
    // The "@" lies before the search start, so it is not seen.
    EXPECT_FALSE(isInsideLink(text, 2, 7));
    EXPECT_FALSE(isInsideLink(text, 0, 999));
}

TEST(InsertTopicLinks, MarksLongerNamesFirstAndLeavesTheNamesInsideThem) {
    EXPECT_EQ(
        marked("Find Caius Cosades, then ask Caius about Cosades.", {"Caius", "Cosades", "Caius Cosades"}),
        "Find @Caius Cosades#, then ask @Caius# about @Cosades#.");
}

TEST(InsertTopicLinks, MarksEveryOccurrenceThatStandsAfterAnOpeningCharacter) {
    EXPECT_EQ(marked("ring, a bring, the ring's 'ring' \"ring\" (my)ring (ring) rings", {"ring"}),
              "@ring#, a bring, the @ring#'s '@ring#' \"@ring#\" (my)@ring# (ring) @ring#s");
    EXPECT_EQ(marked("l'anello e l'anello", {"anello"}), "l'@anello# e l'@anello#");
}

TEST(InsertTopicLinks, KeepsTheCaseOfTheTextAndMarksRegardlessOfIt) {
    EXPECT_EQ(marked("BALMORA, balmora and Balmora", {"Balmora"}), "@BALMORA#, @balmora# and @Balmora#");
    EXPECT_EQ(marked("\xC8 qui, \xE8 qui", {"\xE8 qui"}), "\xC8 qui, @\xE8 qui#");
}

TEST(InsertTopicLinks, MarksAParagraphOfAnyLengthCompletely) {
    std::string text;
    std::string expected;
    for (int i = 0; i < 700; ++i) {
        text += "the ring of Balmora ";
        expected += "the @ring# of @Balmora# ";
    }
    ASSERT_GT(text.size(), 2048u * 6);
    EXPECT_EQ(marked(text, {"ring", "Balmora"}), expected);
}

TEST(InsertTopicLinks, LeavesALoneLineFeedAndIgnoresNamesThatCannotBeMarked) {
    EXPECT_EQ(marked("\n", {"\n"}), "\n");
    EXPECT_EQ(marked("a # b @ c", {"", "#", "@", "b @"}), "a # b @ c");
}

} // namespace
} // namespace orvella
