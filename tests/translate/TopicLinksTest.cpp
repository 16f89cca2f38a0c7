#include "translate/TopicLinks.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace orvella {
namespace {

TEST(FindTopic, AcceptsAnOccurrenceOnlyAtTheSearchStartOrAfterABlankOrOpeningCharacterFoldingOnlyAscii) {
    const struct {
        std::string_view text;
        std::size_t start;
        std::string_view name;
        std::optional<std::size_t> position;
        bool accepted;
    } cases[] = {
        {"ring", 0, "ring", 0, true},
        {"a ring", 0, "ring", 2, true},
        {"a\"ring", 0, "ring", 2, true},
        {"a)ring", 0, "ring", 2, true},
        {"a'ring", 0, "ring", 2, true},
        {"a\nring", 0, "ring", 2, true},
        {"a\rring", 0, "ring", 2, true},
        {"a\tring", 0, "ring", 2, true},
        {"a\vring", 0, "ring", 2, false},
        {"abring", 0, "ring", 2, false},
        {"a(ring", 0, "ring", 2, false},
        {"a-ring", 0, "ring", 2, false},
        {"a@ring", 0, "ring", 2, false},
        {"a#ring", 0, "ring", 2, false},
        {"abring", 2, "ring", 2, true},
        {"ring", 1, "ring", {}, false},
        {"ring", 9, "ring", {}, false},
        {"Go to BALMORA", 0, "balmora", 6, true},
        {"go to balmora", 0, "Balmora", 6, true},
        {"citt\xE0", 0, "citt\xE0", 0, true},
        {"CITT\xC0", 0, "citt\xE0", {}, false},
    };
    for (const auto& c : cases) {
        TopicMatch match = findTopic(c.text, c.start, c.name);
        EXPECT_EQ(match.position, c.position) << c.text << " from " << c.start;
        EXPECT_EQ(match.accepted, c.accepted) << c.text << " from " << c.start;
    }
}

TEST(IsInsideLink, LooksBackToTheSearchStartForTheNearestMark) {
    const std::string_view text = "@Caius Cosades# and Caius";
    EXPECT_TRUE(isInsideLink(text, 0, 1));
    EXPECT_TRUE(isInsideLink(text, 0, 7));
    EXPECT_FALSE(isInsideLink(text, 0, 20));
    EXPECT_FALSE(isInsideLink(text, 0, 0));
    EXPECT_FALSE(isInsideLink(text, 2, 7)); // the "@" lies before the search start
    EXPECT_FALSE(isInsideLink(text, 0, 999));
}

TEST(InsertTopicLinks, MarksLongerNamesFirstEveryOccurrenceAfterAnOpeningCharacterAndAnyCase) {
    std::string longText, longMarked;
    for (int i = 0; i < 700; ++i) {
        longText += "the ring of Balmora ";
        longMarked += "the @ring# of @Balmora# ";
    }
    const struct {
        std::string text;
        std::vector<std::string_view> names;
        std::string marked;
    } cases[] = {
        {"Find Caius Cosades, then ask Caius about Cosades.",
         {"Caius", "Cosades", "Caius Cosades"},
         "Find @Caius Cosades#, then ask @Caius# about @Cosades#."},
        {"ring, a bring, the ring's 'ring' \"ring\" (my)ring (ring) rings\nring\r\nring\tring",
         {"ring"},
         "@ring#, a bring, the @ring#'s '@ring#' \"@ring#\" (my)@ring# (ring) "
         "@ring#s\n@ring#\r\n@ring#\t@ring#"},
        {"l'anello e l'anello", {"anello"}, "l'@anello# e l'@anello#"},
        {"BALMORA, balmora and Balmora", {"Balmora"}, "@BALMORA#, @balmora# and @Balmora#"},
        {"\xC8 qui, \xE8 qui", {"\xE8 qui"}, "\xC8 qui, @\xE8 qui#"},
        {longText, {"ring", "Balmora"}, longMarked}, // far longer than any fixed working area
        {"\n", {"\n"}, "\n"},
        {"a # b @ c", {"", "#", "@", "b @"}, "a # b @ c"}, // names that cannot be marked
    };
    for (const auto& c : cases) {
        // A link list as loadTopicTables leaves it: longest names first.
        std::vector<TopicLink> links;
        for (std::string_view name : c.names)
            links.push_back({name, name, static_cast<std::uint32_t>(name.size())});
        std::stable_sort(links.begin(), links.end(),
                         [](const TopicLink& a, const TopicLink& b) { return a.fromLength > b.fromLength; });
        std::string text = c.text;
        insertTopicLinks(text, links);
        EXPECT_EQ(text, c.marked) << c.text.substr(0, 60);
    }
}

} // namespace
} // namespace orvella
