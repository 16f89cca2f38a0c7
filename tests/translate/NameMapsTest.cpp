#include "translate/NameMaps.h"
#include "FaultInjectingFileSystem.h"
#include "gamebuilder/GameBuilder.h"
#include "scan/MasterScan.h"
#include "translate/BuiltInTables.h"
#include "translate/TableFile.h"
#include "translate/TopicTableExport.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;
using Records = std::vector<RecordBuilder>;

RecordBuilder topic(const std::string& name, char type = 0) {
    return RecordBuilder("DIAL").text("NAME", name).sub("DATA", std::string(1, type));
}
// A response whose one condition is its speaker; its text is its id.
RecordBuilder reply(const std::string& id, const std::string& speaker = "anyone") {
    return RecordBuilder("INFO").text("INAM", id).text("PNAM", "").text("ONAM", speaker).text("NAME", id);
}

// Scans a base master, a Tribunal master when given, and one translation plugin, and tells the rows derived
// for each table ("T:" marks Tribunal's, "(c)" a pair by conditions), then each Italian topic left unpaired
// with its reason and the topics it names.
std::string derive(const Records& master, const Records& tribunal, const Records& plugin,
                   const TopicTables& tables = {}) {
    test::FaultInjectingFileSystem files;
    GameInstallation installation{.installPath = "C:\\G"};
    auto write = [&](const char* name, build::FileKind kind, const Records& records) {
        build::GameFileBuilder file({.kind = kind});
        file.records() = records;
        files.writeFile(installation.installPath + DataFilesFolder + name, file.bytes());
    };
    files.addFolder(installation.installPath + "\\Data Files");
    write(MorrowindMasterName, build::FileKind::Master, master);
    write(TribunalMasterName, build::FileKind::Master, tribunal);
    write(MorrowindPluginName, build::FileKind::Plugin, plugin);
    TranslationMaps maps;
    DialogueTopics topics;
    SilentScanProgress progress;
    ScanError error;
    EXPECT_TRUE(scanMastersAndPlugins(files, installation, {{true, !tribunal.empty(), false}}, maps, progress,
                                      error, &topics));
    const TopicPairing pairing = pairTopics(topics);
    const DerivedTopicRows derived = derivedTopicRows(topics, pairing, tables);
    std::string told;
    for (Game game : AllGames)
        for (const DerivedRow& row : derived.of(game))
            told += std::string(game == Game::Tribunal ? "T:" : "") + std::string(row.row.english) + ">" +
                    std::string(row.row.italian) + (row.by == PairedBy::Conditions ? " (c)|" : "|");
    const char* const reasons[] = {"none", "tie", "prefers", "few"};
    for (const UnpairedTopic& unpaired : pairing.unpaired) {
        told += "?" + topics.italian.topics()[unpaired.italian].name + " " +
                reasons[static_cast<int>(unpaired.reason)];
        for (const std::string& name : unpaired.named)
            told += " " + name;
        told += "|";
    }
    return told;
}

// Each way a translation renames a topic, or seems to, gives the pair it must and never one it must not.
TEST(DerivedTopics, PairOnlyWhatTheResponsesLeaveNoDoubtAbout) {
    const TopicRow rows[] = {{"tip", "mancia"}, {"watch", "guardia"}};
    const struct {
        const char* what;
        Records master, tribunal, plugin;
        std::string derived;
        TopicTables tables = {};
    } cases[] = {
        {"all responses",
         {topic("armor"), reply("a1"), reply("a2")},
         {},
         {topic("armatura"), reply("a1"), reply("a2")},
         "armor>armatura|"},
        {"some responses, and one without an id",
         {topic("armor"), reply("a1"), reply("a2")},
         {},
         {topic("armatura"), reply("a2"), RecordBuilder("INFO").text("NAME", "?")},
         "armor>armatura|"},
        {"new ids, same conditions",
         {topic("guild"), reply("g1", "x"), reply("g2", "y")},
         {},
         {topic("gilda"), reply("n1", "y").text("SNAM", "a.wav"),
          reply("n2", "x").text("SNAM", "b.wav").text("BNAM", "Goodbye")},
         "guild>gilda (c)|"},
        {"the same bytes under another condition",
         {topic("guild"), reply("g1", "x")},
         {},
         {topic("gilda"),
          RecordBuilder("INFO").text("INAM", "n1").text("PNAM", "").text("ANAM", "x").text("NAME", "n1")},
         "?gilda none|"},
        {"a condition that repeats",
         {topic("alpha"), reply("r1", "x"), topic("beta"), reply("r2", "x"), reply("r3", "x")},
         {},
         {topic("alfa"), reply("n1", "x"), reply("n2", "x")},
         "beta>alfa (c)|"},
        {"conditions that two topics share",
         {topic("alpha"), reply("r1", "x"), topic("beta"), reply("r2", "x")},
         {},
         {topic("alfa"), reply("n1", "x")},
         "?alfa tie alpha beta|"},
        {"re-declared under its own name", {topic("Vos"), reply("v1")}, {}, {topic("VOS"), reply("v1")}, ""},
        {"split in two",
         {topic("trade"), reply("t1", "x"), reply("t2", "y")},
         {},
         {topic("commercio"), reply("t1", "x"), topic("scambio"), reply("t2", "y")},
         "?commercio tie commercio scambio|?scambio tie commercio scambio|"},
        {"a new topic",
         {topic("armor"), reply("a1", "x")},
         {},
         {topic("novit\xE0"), reply("n9", "z")},
         "?novit\xE0 none|"},
        {"a topic without a name",
         {topic(""), reply("a1")},
         {},
         {topic("vuoto"), reply("a1")},
         "?vuoto none|"},
        {"another type", {topic("Greeting 0", 1), reply("g1")}, {}, {topic("Saluto 0", 1), reply("g1")}, ""},
        {"a response id two topics share",
         {topic("east"), reply("e1"), reply("s1"), topic("west"), reply("w1"), reply("s1")},
         {},
         {topic("est"), reply("e1"), reply("s1")},
         "east>est|"},
        {"declared in two masters",
         {topic("ebony"), reply("x1")},
         {topic("Ebony"), reply("x2"), topic("shrine"), reply("s1")},
         {topic("ebano"), reply("x2"), topic("santuario"), reply("s1")},
         "ebony>ebano|T:shrine>santuario|"},
        // Both responses' conditions are replaced, so the one alike is half of the English topic's.
        {"a later master's responses in place of the earlier ones'",
         {topic("guild"), reply("g1", "x"), reply("g2", "z")},
         {topic("GUILD"), reply("g1", "y"), reply("g2", "y")},
         {topic("gilda"), reply("n1", "y")},
         "guild>gilda (c)|"},
        // Only the later of the two responses under one id stays, so the earlier one's condition is no match.
        {"declared twice in the last master",
         {topic("altar"), reply("a1", "x")},
         {topic("shrine"), reply("s1", "x"), topic("shrine"), reply("s1", "y")},
         {topic("santuario"), reply("n1", "x")},
         "altar>santuario (c)|"},
        {"deleted topics",
         {topic("gone").sub("DELE", build::u32(0)), reply("g1", "x"), topic("kept"), reply("k1", "y")},
         {},
         {topic("andato"), reply("g1", "x"), topic("tenuto").sub("DELE", build::u32(0)), reply("k1", "y")},
         "?andato none|"},
        {"a best match that prefers another",
         {topic("east"), reply("e1"), reply("e2")},
         {},
         {topic("oriente"), reply("e1"), topic("levante"), reply("e1"), reply("e2")},
         "east>levante|?oriente prefers east levante|"},
        {"too few alike",
         {topic("mages"), reply("c1", "x"), reply("c2", "y"), reply("c3", "z")},
         {},
         {topic("maghi"), reply("n1", "x")},
         "?maghi few mages|"},
        {"names the tables have",
         {topic("tip"), reply("t1"), topic("guard"), reply("g1")},
         {},
         {topic("premio"), reply("t1"), topic("GUARDIA"), reply("g1")},
         "",
         {rows, {}, {}, {}}},
        {"a table supplied as a file",
         {topic("armor"), reply("a1")},
         {},
         {topic("armatura"), reply("a1")},
         "",
         {{}, {}, {}, {}, {true, false, false}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(derive(c.master, c.tribunal, c.plugin, c.tables), c.derived) << c.what;
}

TEST(TopicTables, MapFromTheSourceLanguageTakeTheIncludedGamesAndListLinksLongestFirst) {
    const TopicRow base[] = {{"guard", "guardia"}, {"Vos", "Vos"}, {"a", "uno"}};
    const TopicRow tribunal[] = {{"Mournhold", "Mournhold"}, {"shared topic", "argomento comune"}};
    const TopicRow bloodmoon[] = {{"shared topic", "argomento di Solstheim"}, {"Skaal", "gli Skaal"}};
    const TopicTables tables{base, tribunal, bloodmoon, {}};
    const struct {
        ConversionDirection direction;
        std::array<bool, GameCount> games;
        const char *from, *to;
        std::size_t links;
    } cases[] = {
        {EnglishToItalian, {true, false, false}, "guard", "guardia", 3},
        {EnglishToItalian, {true, true, false}, "Mournhold", "Mournhold", 5},
        {EnglishToItalian, {true, true, true}, "shared topic", "argomento comune", 7},
        {EnglishToItalian, {true, false, true}, "shared topic", "argomento di Solstheim", 5},
        {ItalianToEnglish, {true, false, true}, "gli Skaal", "Skaal", 5},
        {ItalianToEnglish, {true, true, false}, "argomento comune", "shared topic", 5},
    };
    for (const auto& c : cases) {
        NameMaps names;
        loadTopicTables(tables, {}, c.direction, {c.games}, names);
        EXPECT_EQ(names.topicNameMap.size(), c.links - (c.games[1] && c.games[2]));
        EXPECT_EQ(names.topicNameMap.count("Skaal") + names.topicNameMap.count("gli Skaal"),
                  c.games[2] ? 1u : 0u);
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

// The tables command's files keep the rules a table file is read by: a derived row that would break one is
// left out, and the Tribunal table runs alphabetically without regard to case.
TEST(DerivedTopics, ExportedTablesKeepTheRulesOfTableFiles) {
    const TopicRow base[] = {{"guard", "guardia"}}, tribunal[] = {{"Mournhold", "Mournhold"}};
    const TopicTables tables{base, tribunal, {}, {}};
    DerivedTopicRows derived;
    for (const TopicRow& row : std::initializer_list<TopicRow>{{"zeal", "zelo"},
                                                               {"abbey", "abbazia"},
                                                               {"Bishop", "vescovo"},
                                                               {"guardia", "custode"},
                                                               {"MOURNHOLD", "Mornolda"},
                                                               {"tax", "vescovo"},
                                                               {"ok", "tab\there"},
                                                               {"", "vuoto"}})
        derived.tables[indexOf(Game::Tribunal)].push_back({row, PairedBy::ResponseIds});
    const ExportedTable baseTable = exportTopicTable(Game::Base, tables, derived);
    const ExportedTable table = exportTopicTable(Game::Tribunal, tables, derived, &baseTable);
    EXPECT_EQ(table.bytes,
              "english\titalian\nabbey\tabbazia\nBishop\tvescovo\nMournhold\tMournhold\nzeal\tzelo\n");
    std::string leftOut;
    for (const LeftOutRow& row : table.leftOut)
        leftOut += std::string(row.row.english) + "|";
    EXPECT_EQ(leftOut, "guardia|MOURNHOLD|tax|ok||");
    std::vector<TopicRow> rows;
    TableFileError error;
    EXPECT_TRUE(parseTopicTable(table.bytes, "T.tsv", TopicOrder::Alphabetical, rows, error))
        << error.message();
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
        {H + "longer\tpi\xF9 lungo\nshort\n", TopicOrder::LongestFirst, 3},
        {H + "abc\tdef\tghi\n", TopicOrder::LongestFirst, 2},
        {H + "same\tuno\nsame\tdue\n", TopicOrder::LongestFirst, 3},
        {H + "first\tuguale\nother\tuguale\n", TopicOrder::LongestFirst, 3},
        {H + "ab\tx\nabc\ty\n", TopicOrder::LongestFirst, 3},
        {H + "beta\tx\nAlpha\ty\n", TopicOrder::Alphabetical, 3},
        {H + "Alpha\tx\nalpha\ty\n", TopicOrder::Alphabetical, 3},
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
    EXPECT_TRUE(!parseTopicTable("", "T.tsv", TopicOrder::LongestFirst, rows, error) && error.line == 1 &&
                error.message().find("vuoto") != std::string::npos);
    // Each control character and each byte that Windows-1252 leaves undefined is refused; those beside them
    // are not.
    for (char c : std::string("\x00\x1F\x7F\x81\x8D\x8F\x90\x9D", 8))
        EXPECT_FALSE(isValidTableText(std::string(1, c))) << int(c);
    EXPECT_TRUE(isValidTableText(" ~\x80\x82\x8C\x8E\x91\x9C\x9E\xFF"));
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
    // A table file in the folder that cannot be read stops the loading, naming it.
    test::FaultInjectingFileSystem files;
    files.addFolder("C:\\T");
    files.writeFile("C:\\T\\" + std::string(BloodmoonTopicTableFile), H);
    files.failEvery(test::FileCall::Read, BloodmoonTopicTableFile);
    EXPECT_FALSE(set.loadFolder(files, "C:\\T", error));
    EXPECT_EQ(error.fileName, BloodmoonTopicTableFile);
    files.countOnly();
    EXPECT_TRUE(set.loadFolder(files, "C:\\T", error) &&
                set.tables().suppliedAsFile == (std::array<bool, GameCount>{false, false, true}));
    // A journal fix row may have no texts, but not only one of them.
    std::vector<JournalFixRow> fixes;
    const std::string fixTable = FixH + "Q1\t\t\nQ2\tText.\tTesto.\n"; // the rows point into it
    ASSERT_TRUE(parseJournalFixTable(fixTable, "J.tsv", fixes, error));
    EXPECT_TRUE(fixes.size() == 2 && fixes[0].english.empty() && fixes[1].questId == "Q2" &&
                fixes[1].italian == "Testo.");
    EXPECT_FALSE(parseJournalFixTable(FixH + "Q1\tonly english\t\n", "J.tsv", fixes, error));
    EXPECT_EQ(error.line, 2u);
}

} // namespace
} // namespace orvella
