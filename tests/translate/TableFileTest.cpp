#include "translate/TableFile.h"
#include "translate/BuiltInTables.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

// The embedded files pass a dropped-in file's checks (or the program stops here) and fill every table.
TEST(ShippedTables, PassTheChecksOfADroppedInFile) {
    const TopicTables& tables = builtInTables();
    EXPECT_FALSE(tables.base.empty() || tables.tribunal.empty() || tables.bloodmoon.empty() ||
                 tables.journalFixes.empty());
}

TEST(TopicTableFile, RefusesEachBrokenRuleNamingTheLine) {
    const struct {
        const char* what;
        std::string bytes;
        TopicOrder order;
        std::size_t line;
    } cases[] = {
        {"wrong header", "english;italian\nab\tcd\n", TopicOrder::LongestFirst, 1},
        {"empty file", "", TopicOrder::LongestFirst, 1},
        {"one column", "english\titalian\nlonger\tpi\xF9 lungo\nshort\n", TopicOrder::LongestFirst, 3},
        {"three columns", "english\titalian\nabc\tdef\tghi\n", TopicOrder::LongestFirst, 2},
        {"english twice", "english\titalian\nsame\tuno\nsame\tdue\n", TopicOrder::LongestFirst, 3},
        {"italian twice", "english\titalian\nfirst\tuguale\nother\tuguale\n", TopicOrder::LongestFirst, 3},
        {"shorter before longer", "english\titalian\nab\tx\nabc\ty\n", TopicOrder::LongestFirst, 3},
        {"not alphabetical", "english\titalian\nbeta\tx\nAlpha\ty\n", TopicOrder::Alphabetical, 3},
        {"equal without case", "english\titalian\nAlpha\tx\nalpha\ty\n", TopicOrder::Alphabetical, 3},
        {"undefined byte", "english\titalian\nok\tnon \x81 valido\n", TopicOrder::LongestFirst, 2},
        {"control byte", "english\titalian\nok\tcon\x01zero\n", TopicOrder::LongestFirst, 2},
        {"empty name", "english\titalian\nok\t\n", TopicOrder::LongestFirst, 2},
    };
    std::vector<TopicRow> rows;
    TableFileError error;
    for (const auto& broken : cases) {
        EXPECT_FALSE(parseTopicTable(broken.bytes, "T.tsv", broken.order, rows, error)) << broken.what;
        EXPECT_EQ(error.line, broken.line) << broken.what << ": " << error.message();
        EXPECT_NE(error.message().find("T.tsv"), std::string::npos);
    }
    // Accents, CR LF and a missing final line feed are taken.
    ASSERT_TRUE(parseTopicTable("english\titalian\r\nbetter\tmigliore\r\nbad\tpi\xF9 cattivo", "T.tsv",
                                TopicOrder::LongestFirst, rows, error))
        << error.message();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(std::string(rows[0].italian) + "|" + std::string(rows[1].italian), "migliore|pi\xF9 cattivo");
    EXPECT_TRUE(parseTopicTable("english\titalian\nAlpha\tx\nbeta\ty\nGamma\tz\n", "T.tsv",
                                TopicOrder::Alphabetical, rows, error));
}

TEST(TableSet, RefusesABaseTextInAnExpansionTableAndKeepsJournalFixRowsWithoutTexts) {
    const char* const Header = "english\titalian\n";
    const char* const FixHeader = "questId\tenglish\titalian\n";
    TableSet set;
    TableFileError error;
    EXPECT_FALSE(set.load("english\titalian\nguard\tguardia\n", "english\titalian\nguardia\tother\n", Header,
                          FixHeader, error));
    EXPECT_EQ(error.fileName, TribunalTopicTableFile);
    EXPECT_EQ(error.line, 2u);
    // The one pair that both expansions share is allowed.
    EXPECT_TRUE(set.load("english\titalian\nguard\tguardia\n", "english\titalian\nshared\tcomune\n",
                         "english\titalian\nshared\tcomune\n", FixHeader, error))
        << error.message();

    std::vector<JournalFixRow> rows;
    ASSERT_TRUE(
        parseJournalFixTable("questId\tenglish\titalian\nQ1\t\t\nQ2\tText.\tTesto.\n", "J.tsv", rows, error));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0].english.empty());
    EXPECT_EQ(rows[1].italian, "Testo.");
    EXPECT_FALSE(
        parseJournalFixTable("questId\tenglish\titalian\nQ1\tonly english\t\n", "J.tsv", rows, error));
    EXPECT_EQ(error.line, 2u);
}

} // namespace
} // namespace orvella
