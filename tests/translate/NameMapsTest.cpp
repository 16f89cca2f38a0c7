#include "translate/NameMaps.h"
#include "translate/BuiltInTables.h"
#include "translate/TableFile.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

TEST(TopicTables, MapFromTheSourceLanguageTakeTheIncludedExpansionsAndListLinksLongestFirst) {
    const TopicRow base[] = {{"guard", "guardia"}, {"Vos", "Vos"}, {"a", "uno"}};
    const TopicRow tribunal[] = {{"Mournhold", "Mournhold"}, {"shared topic", "argomento comune"}};
    const TopicRow bloodmoon[] = {{"shared topic", "argomento di Solstheim"}, {"Skaal", "gli Skaal"}};
    const TopicTables tables{base, tribunal, bloodmoon, {}};
    const struct {
        ConversionDirection direction;
        IncludedExpansions expansions;
        const char *from, *to;
        std::size_t links;
    } cases[] = {
        {EnglishToItalian, {false, false}, "guard", "guardia", 3},
        {EnglishToItalian, {true, false}, "Mournhold", "Mournhold", 5},
        {EnglishToItalian, {true, true}, "shared topic", "argomento comune", 7},
        {EnglishToItalian, {false, true}, "shared topic", "argomento di Solstheim", 5},
        {ItalianToEnglish, {false, true}, "gli Skaal", "Skaal", 5},
        {ItalianToEnglish, {true, false}, "argomento comune", "shared topic", 5},
    };
    for (const auto& c : cases) {
        NameMaps names;
        loadTopicTables(tables, {}, c.direction, c.expansions, names);
        EXPECT_EQ(names.topicNameMap.size(), c.links - (c.expansions.tribunal && c.expansions.bloodmoon));
        EXPECT_EQ(names.topicNameMap.count("Skaal") + names.topicNameMap.count("gli Skaal"),
                  c.expansions.bloodmoon ? 1u : 0u);
        EXPECT_EQ(names.topicNameMap.at(c.from), c.to) << c.from;
        for (const auto* links : {&names.englishTopicLinks, &names.italianTopicLinks}) {
            ASSERT_EQ(links->size(), c.links);
            for (std::size_t i = 0; i < links->size(); ++i)
                EXPECT_TRUE((*links)[i].fromLength == (*links)[i].from.size() &&
                            (i == 0 || (*links)[i].fromLength <= (*links)[i - 1].fromLength))
                    << i;
        }
    }
}

// A table file names the line of each broken rule; the embedded files pass the same checks as every
// conversion starts.
TEST(TableFiles, RefuseEachBrokenRuleNamingTheLine) {
    const std::string H = "english\titalian\n", FixH = "questId\tenglish\titalian\n";
    const struct {
        std::string bytes;
        TopicOrder order;
        std::size_t line;
    } cases[] = {
        {"english;italian\nab\tcd\n", TopicOrder::LongestFirst, 1},
        {"", TopicOrder::LongestFirst, 1},
        {H + "longer\tpi\xF9 lungo\nshort\n", TopicOrder::LongestFirst, 3},
        {H + "abc\tdef\tghi\n", TopicOrder::LongestFirst, 2},
        {H + "same\tuno\nsame\tdue\n", TopicOrder::LongestFirst, 3},
        {H + "first\tuguale\nother\tuguale\n", TopicOrder::LongestFirst, 3},
        {H + "ab\tx\nabc\ty\n", TopicOrder::LongestFirst, 3},
        {H + "beta\tx\nAlpha\ty\n", TopicOrder::Alphabetical, 3},
        {H + "Alpha\tx\nalpha\ty\n", TopicOrder::Alphabetical, 3},
        {H + "ok\tnon \x81 valido\n", TopicOrder::LongestFirst, 2},
        {H + "ok\tcon\x01zero\n", TopicOrder::LongestFirst, 2},
        {H + "ok\t\n", TopicOrder::LongestFirst, 2},
    };
    std::vector<TopicRow> rows;
    TableFileError error;
    for (const auto& broken : cases) {
        EXPECT_FALSE(parseTopicTable(broken.bytes, "T.tsv", broken.order, rows, error)) << broken.bytes;
        EXPECT_EQ(error.line, broken.line) << error.message();
        EXPECT_NE(error.message().find("T.tsv"), std::string::npos);
    }
    // Accents, CR LF and a missing final line feed are taken.
    ASSERT_TRUE(parseTopicTable("english\titalian\r\nbetter\tmigliore\r\nbad\tpi\xF9 cattivo", "T.tsv",
                                TopicOrder::LongestFirst, rows, error));
    EXPECT_TRUE(rows.size() == 2 && rows[0].italian == "migliore" && rows[1].italian == "pi\xF9 cattivo");
    EXPECT_TRUE(parseTopicTable(H + "A\tx\nb\ty\nC\tz\n", "T.tsv", TopicOrder::Alphabetical, rows, error));

    // A base text in an expansion's table is refused, except the one pair that both expansions share.
    TableSet set;
    EXPECT_FALSE(set.load(H + "guard\tguardia\n", H + "guardia\tother\n", H, FixH, error));
    EXPECT_EQ(error.fileName + ":" + std::to_string(error.line), std::string(TribunalTopicTableFile) + ":2");
    EXPECT_TRUE(
        set.load(H + "guard\tguardia\n", H + "shared\tcomune\n", H + "shared\tcomune\n", FixH, error));
    // A journal fix row may have no texts, but not only one of them.
    std::vector<JournalFixRow> fixes;
    const std::string fixTable = FixH + "Q1\t\t\nQ2\tText.\tTesto.\n"; // the rows point into it
    ASSERT_TRUE(parseJournalFixTable(fixTable, "J.tsv", fixes, error));
    EXPECT_TRUE(fixes.size() == 2 && fixes[0].english.empty() && fixes[1].italian == "Testo.");
    EXPECT_FALSE(parseJournalFixTable(FixH + "Q1\tonly english\t\n", "J.tsv", fixes, error));
    EXPECT_EQ(error.line, 2u);
}

} // namespace
} // namespace orvella
