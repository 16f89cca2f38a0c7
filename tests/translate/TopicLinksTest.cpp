#include "translate/TopicLinks.h"
#include "JournalEntries.h"

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
        {"ring", 0, "ring", 0, true},         {"a\"ring", 0, "ring", 2, true},
        {"a)ring", 0, "ring", 2, true},       {"a\nring", 0, "ring", 2, true},
        {"a\vring", 0, "ring", 2, false},     {"a(ring", 0, "ring", 2, false},
        {"abring", 2, "ring", 2, true},       {"ring", 1, "ring", {}, false},
        {"ring", 9, "ring", {}, false},       {"go to balmora", 0, "BalMora", 6, true},
        {"citt\xE0", 0, "citt\xE0", 0, true}, {"CITT\xC0", 0, "citt\xE0", {}, false},
    };
    for (const auto& c : cases) {
        TopicMatch match = findTopic(c.text, c.start, c.name);
        EXPECT_EQ(match.position, c.position) << c.text << " from " << c.start;
        EXPECT_EQ(match.accepted, c.accepted) << c.text << " from " << c.start;
    }
}

TEST(InsertTopicLinks, MarksLongerNamesFirstEveryOccurrenceAfterAnOpeningCharacterAndAnyCase) {
    std::string longText, longMarked;
    for (int i = 0; i < 700; ++i) {
        longText += "the ring of Balmora ";
        longMarked += "the @ring# of @Balmora# ";
    }
    const struct {
        std::string text;
        std::vector<TopicRow> names;
        std::string marked;
    } cases[] = {
        {"Find Caius Cosades, then ask Caius about Cosades.",
         {{"Caius", ""}, {"Cosades", ""}, {"Caius Cosades", ""}},
         "Find @Caius Cosades#, then ask @Caius# about @Cosades#."},
        {"ring, a bring, the ring's 'ring' \"ring\" (my)ring (ring) rings\nring\r\nring\tring",
         {{"ring", ""}},
         "@ring#, a bring, the @ring#'s '@ring#' \"@ring#\" (my)@ring# (ring) "
         "@ring#s\n@ring#\r\n@ring#\t@ring#"},
        {"BALMORA, balmora and Balmora", {{"Balmora", ""}}, "@BALMORA#, @balmora# and @Balmora#"},
        {"\xC8 qui, \xE8 qui", {{"\xE8 qui", ""}}, "\xC8 qui, @\xE8 qui#"},
        {"@Caius# and Caius", {{"Caius", ""}, {"Caius", ""}}, "@Caius# and @Caius#"},
        {longText, {{"ring", ""}, {"Balmora", ""}}, longMarked}, // far longer than any fixed working area
        {"\n", {{"\n", ""}}, "\n"},
        {"a # b @ c",
         {{"", ""}, {"#", ""}, {"@", ""}, {"b @", ""}},
         "a # b @ c"}, // names that cannot be marked
    };
    for (const auto& c : cases) {
        NameMaps names;
        test::setTopicLinks(names, c.names);
        std::string text = c.text;
        insertTopicLinks(text, names.englishTopicLinks);
        EXPECT_EQ(text, c.marked) << c.text.substr(0, 60);
    }
}

} // namespace
} // namespace orvella
