#include "JobFixture.h"
#include "JournalEntries.h"
#include "gamebuilder/GameBuilder.h"
#include "job/ProgressControls.h"
#include "platform/MemoryFile.h"
#include "records/RecordStream.h"
#include "records/RecordWriter.h"
#include "translate/JournalFixes.h"
#include "translate/JournalHeadings.h"
#include "translate/SaveHandlers.h"

#include <gtest/gtest.h>
#include <random>

namespace orvella {
namespace {

using build::RecordBuilder;
using test::addJournalEntry;

const std::string Section = "\n- FRASI DEL JOURNAL NON TRADOTTE -\n\n";

std::string heading(std::string_view inside) {
    return "<FONT COLOR=\"9F0000\">" + std::string(inside) + "</FONT><BR>\n";
}

struct PatchJournal : testing::Test {
    test::JobFixture fixture;
    std::unique_ptr<Record> record;

    JobState& state() { return *fixture.state; }

    void SetUp() override { fill(); }

    void fill() {
        state().names.monthNameMap =
            fixture.job.saveInfo.direction == EnglishToItalian
                ? NameMap{{"Last Seed", "Ultimo Seme"}, {"Morning Star", "Stella del Mattino"}}
                : NameMap{{"Ultimo Seme", "Last Seed"}, {"Stella del Mattino", "Morning Star"}};
        test::setTopicLinks(state().names, {{"Balmora", "Balmora"}, {"ring", "anello"}});
        addJournalEntry(state().maps.journalEntryMap, "10", "Go to Balmora.", "Vai a Balmora.");
        addJournalEntry(state().maps.journalEntryMap, "11", "Find the ring.\nThen rest.",
                        "Trova l'anello.\nPoi riposa.");
    }

    // Runs the handler on a JOUR record with exactly these NAME bytes and gives the new NAME bytes.
    std::string patch(std::string_view nameData) {
        record = RecordBuilder("JOUR").sub("NAME", nameData).build();
        EXPECT_TRUE(patchJournal(*record, state()));
        const auto& data = record->subrecordAt(0).data;
        return std::string(data.begin(), data.end());
    }
};

TEST_F(PatchJournal, RewritesHeadingsAndParagraphsAndEndsTheTextWithOneNul) {
    const std::string journal = heading("16 Last Seed (Day 3)") + "Go to @Balmora#.<P>\n" +
                                "<FONT SIZE=\"2\" COLOR=\"000000\">1   Morning Star (Day  12)</FONT>\n" +
                                "Find the @ring#.\nThen rest.<P>\n";
    EXPECT_EQ(patch(journal + '\0'), heading("16 Ultimo Seme (Giorno 3)") + "Vai a @Balmora#.<P>\n" +
                                         heading("1 Stella del Mattino (Giorno 12)") +
                                         "Trova l'@anello#.\nPoi riposa.<P>\n" + '\0');
    EXPECT_EQ(state().untranslatedJournalCount, 0u);
    EXPECT_EQ(fixture.log, Section);
    EXPECT_EQ(fixture.progress.bar(JournalBar), 100);
    EXPECT_EQ(fixture.progress.image(JournalImage), StatusImage::Success);
    std::vector<std::uint8_t> bytes;
    serializeRecord(*record, bytes);
    EXPECT_EQ(bytes.size(), 16u + record->size());
}

TEST_F(PatchJournal, ConvertingToEnglishReadsTheItalianHeadingPattern) {
    fixture.reset(ItalianToEnglish);
    fill();
    EXPECT_EQ(patch(heading("16 Ultimo Seme (Giorno 3)") + "Vai a @Balmora#.<P>\n" +
                    heading("2 Last Seed (Day 3)") + "Trova l'anello.\nPoi riposa.<P>\n"),
              heading("16 Last Seed (Day 3)") + "Go to @Balmora#.<P>\n" + heading("2 Last Seed (Day 3)") +
                  "Find the @ring#.\nThen rest.<P>\n" + '\0');
}

TEST_F(PatchJournal, HeadingsThatCannotBeRewrittenAreCopiedWithTheirLineFeed) {
    const std::string month63(62, 'm');
    const std::string month64(63, 'm');
    state().names.monthNameMap.emplace(month63, "M63");
    state().names.monthNameMap.emplace(month64, "M64");
    const std::string copied[] = {
        heading("16 Sun's Dusk (Day 3)"),         // unknown month
        "<FONT 16 Last Seed (Day 3)\n",           // no ">"
        heading("Last Seed (Day 3)"),             // no day of the month
        heading("16 Last Seed (Giorno 3)"),       // the other language's word for day
        heading("16 Last Seed (Day x)"),          // no day number
        heading("16 Last Seed Day 3"),            // no "("
        heading("99999999999 Last Seed (Day 3)"), // a number that does not fit
        heading("16 " + month64 + " (Day 3)"),    // a month text of 64 characters
    };
    for (const std::string& line : copied) {
        // Each comes after a good heading, whose values must not be used again.
        EXPECT_EQ(
            patch(heading("1 Last Seed (Day 1)") + "Go to Balmora.<P>\n" + line + "Go to Balmora.<P>\n"),
            heading("1 Ultimo Seme (Giorno 1)") + "Vai a @Balmora#.<P>\n" + line + "Vai a @Balmora#.<P>\n" +
                '\0')
            << line;
    }
    // The first line is a heading whatever it begins with.
    EXPECT_EQ(patch("16 Last Seed (Day 3)\nGo to Balmora.<P>\n"),
              "16 Last Seed (Day 3)\nVai a @Balmora#.<P>\n" + std::string(1, '\0'));
    EXPECT_EQ(patch(heading("16 " + month63 + " (Day 3)") + "Go to Balmora.<P>\n"),
              heading("16 M63 (Giorno 3)") + "Vai a @Balmora#.<P>\n" + '\0');
    EXPECT_EQ(state().untranslatedJournalCount, 0u);
}

TEST_F(PatchJournal, UntranslatedParagraphsAreKeptCountedAndLoggedWithTheirLines) {
    const std::string journal = heading("16 Last Seed (Day 3)") + "I met @Fargoth#.\nHe lost a ring.<P>\n" +
                                heading("16 Last Seed (Day 3)") + "Go to Balmora.<P>\n" +
                                heading("17 Last Seed (Day 4)") + "A second\n\nstrange entry.<P>\n";
    fixture.state->untranslatedJournalCount = 7;
    EXPECT_EQ(patch(journal),
              heading("16 Ultimo Seme (Giorno 3)") + "I met @Fargoth#.\nHe lost a ring.<P>\n" +
                  heading("16 Ultimo Seme (Giorno 3)") + "Vai a @Balmora#.<P>\n" +
                  heading("17 Ultimo Seme (Giorno 4)") + "A second\n\nstrange entry.<P>\n" + '\0');
    EXPECT_EQ(state().untranslatedJournalCount, 2u);
    EXPECT_EQ(fixture.log,
              Section + "--- I met @Fargoth#.\nHe lost a ring.\n\n" + "--- A second\n\nstrange entry.\n\n");
}

TEST_F(PatchJournal, TextThatDoesNotEndWithTheParagraphMarkIsKeptWhole) {
    EXPECT_EQ(patch(heading("16 Last Seed (Day 3)") + "P>\n" + heading("16 Last Seed (Day 3)") +
                    "No end here\n" + heading("16 Last Seed (Day 3)") + "Go to Balmora.<P>"),
              heading("16 Ultimo Seme (Giorno 3)") + "P>\n" + heading("16 Ultimo Seme (Giorno 3)") +
                  "No end here\n" + heading("16 Ultimo Seme (Giorno 3)") + "Vai a @Balmora#.<P>\n" + '\0');
    EXPECT_EQ(state().untranslatedJournalCount, 2u);
    EXPECT_EQ(fixture.log, Section + "--- P>\n\n--- No end here\n\n");
}

TEST_F(PatchJournal, PassesOverEmptyLinesAndStopsAfterAHeadingWithoutParagraph) {
    EXPECT_EQ(patch("\n\n" + heading("16 Last Seed (Day 3)") + "\n\nGo to Balmora.<P>\n\n\n" +
                    heading("17 Last Seed (Day 4)")),
              heading("16 Ultimo Seme (Giorno 3)") + "Vai a @Balmora#.<P>\n" +
                  heading("17 Ultimo Seme (Giorno 4)") + '\0');
    EXPECT_EQ(patch(std::string("\0\0\0", 3)), std::string(1, '\0'));
    EXPECT_EQ(fixture.log, Section + Section);
}

TEST_F(PatchJournal, TheTextEndsAtItsFirstNulWhateverFollows) {
    std::string data = heading("16 Last Seed (Day 3)") + "Go to Balmora.<P>\n" + '\0' + "Go to Balmora.<P>\n";
    data.append(1000, '\0');
    data += "leftover";
    const std::string output = patch(data);
    EXPECT_EQ(output, heading("16 Ultimo Seme (Giorno 3)") + "Vai a @Balmora#.<P>\n" + '\0');
    EXPECT_EQ(record->size(), 8u + output.size());
}

TEST_F(PatchJournal, MovesTheJournalBarWithTheOffsetOfEachHeading) {
    const std::string entry = heading("16 Last Seed (Day 3)") + "Go to Balmora.<P>\n";
    patch(entry + entry + entry + entry);
    std::vector<std::string> journalCalls;
    for (const std::string& call : fixture.progress.calls)
        if (call.find("1025") != std::string::npos || call.find("1031") != std::string::npos)
            journalCalls.push_back(call);
    EXPECT_EQ(journalCalls, (std::vector<std::string>{"bar 1025 25", "bar 1025 50", "bar 1025 75",
                                                      "bar 1025 100", "image 1031 ok"}));
}

std::vector<std::string> nonEmptyLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = std::min(text.find('\n', start), text.size());
        if (end > start)
            lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Whatever the text, with nothing to translate every line comes out as it went in.
TEST(PatchJournalFuzz, RandomJournalsLoseNoLine) {
    const std::string nul(1, '\0');
    const std::string_view pieces[] = {"<",
                                       ">",
                                       "\n",
                                       "\n\n",
                                       "<P>",
                                       "P>",
                                       "(Day ",
                                       "(Giorno ",
                                       "16 ",
                                       "-3",
                                       "Last Seed ",
                                       "%Name",
                                       "@",
                                       "#",
                                       " ",
                                       "x",
                                       "<FONT COLOR=\"9F0000\">",
                                       nul};
    std::mt19937 random(1206);
    for (int trial = 0; trial < 2000; ++trial) {
        std::string data;
        for (int i = static_cast<int>(random() % 40); i > 0; --i)
            data += pieces[random() % std::size(pieces)];
        test::JobFixture fixture(trial % 2 ? ItalianToEnglish : EnglishToItalian);
        auto record = RecordBuilder("JOUR").sub("NAME", data).build();
        ASSERT_TRUE(patchJournal(*record, *fixture.state));
        const auto& out = record->subrecordAt(0).data;
        const std::string text = data.substr(0, data.find('\0'));
        ASSERT_FALSE(out.empty());
        EXPECT_EQ(out.back(), '\0');
        const std::string output(out.begin(), out.end() - 1);
        EXPECT_EQ(nonEmptyLines(output), nonEmptyLines(text)) << trial;
        EXPECT_TRUE(output.empty() || output.back() == '\n') << trial;
        EXPECT_EQ(record->size(), 8u + out.size());
    }
}

std::unique_ptr<Record> journalOf(const std::string& saveName) {
    MemoryFile file(build::readBytes(std::string(ORVELLA_REAL_SAVES) + "/" + saveName));
    RecordStream stream(file, saveName);
    std::int32_t count = 0;
    if (!stream.readRecordCount(count))
        return nullptr;
    for (std::int32_t i = 0; i <= count; ++i) {
        auto record = stream.readRecord();
        if (!record)
            return nullptr;
        if (record->tag().is("JOUR"))
            return record;
    }
    return nullptr;
}

// Real saves from another edition: nothing in them can be translated, so nothing of them may be lost.
TEST(RealSaveJournal, KeepsEveryByteOfTheTextAndIsAFixedPointBothWays) {
    for (const char* saveName : {"HartKack0000.ess", "Test10000.ess"}) {
        std::unique_ptr<Record> record = journalOf(saveName);
        ASSERT_TRUE(record) << saveName;
        const std::string text(record->subrecordAt(0).text());
        ASSERT_LT(text.size() + 1, record->subrecordAt(0).size()) << saveName;
        std::size_t paragraphs = 0;
        for (std::size_t at = text.find("<P>\n"); at != std::string::npos; at = text.find("<P>\n", at + 1))
            ++paragraphs;
        for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish, EnglishToItalian}) {
            test::JobFixture fixture(direction);
            EXPECT_TRUE(patchJournal(*record, *fixture.state));
            const auto& data = record->subrecordAt(0).data;
            EXPECT_EQ(std::string(data.begin(), data.end()), text + '\0') << saveName;
            EXPECT_EQ(fixture.state->untranslatedJournalCount, paragraphs) << saveName;
            EXPECT_EQ(record->size(), 8u + data.size()) << saveName;
        }
    }
}

TEST(ScanHeading, ReadsLikeFormattedInput) {
    auto heading = scanHeading("  +16\tLast Seed (Day\n-3)</FONT>", EnglishToItalian);
    ASSERT_TRUE(heading);
    EXPECT_EQ(heading->dayOfMonth, 16);
    EXPECT_EQ(heading->month, "Last Seed");
    EXPECT_EQ(heading->dayNumber, -3);
    heading = scanHeading("16 Ultimo Seme(Giorno 3", ItalianToEnglish);
    ASSERT_TRUE(heading);
    EXPECT_EQ(heading->month, "Ultimo Sem");
    EXPECT_FALSE(scanHeading("16 (Day 3)", EnglishToItalian));
    EXPECT_FALSE(scanHeading("16 Last Seed (Day", EnglishToItalian));
    EXPECT_FALSE(scanHeading("16 Last Seed", EnglishToItalian));
    EXPECT_TRUE(scanHeading("-2147483648 M (Day 2147483647", EnglishToItalian));
    EXPECT_FALSE(scanHeading("-2147483649 M (Day 1", EnglishToItalian));
    EXPECT_FALSE(scanHeading("1 M (Day 2147483648", EnglishToItalian));
}

TEST(AddJournalFixes, TurnsEveryRowIntoAnEntryKeyedByItsPosition) {
    test::JobFixture fixture;
    const JournalFixRow rows[] = {
        {"Q0", "Zero.", "Zero it."}, {"Q1", "One.", "Uno."}, {"Q2", "Two.", "Due."},   {"Q3", "", ""},
        {"Q4", "4", "4i"},           {"Q5", "5", "5i"},      {"Q6", "6", "6i"},        {"Q7", "7", "7i"},
        {"Q8", "8", "8i"},           {"Q9", "9", "9i"},      {"Q10", "Ten.", "Dieci."}};
    TopicTables tables;
    tables.journalFixes = rows;
    fixture.job.tables = &tables;
    TranslationMap& entries = fixture.state->maps.journalEntryMap;
    addJournalEntry(entries, "-1", "Kept.", "Tenuto.");
    addJournalFixes(*fixture.state);

    ASSERT_EQ(entries.size(), 10u);
    EXPECT_FALSE(entries.contains("-3"));
    const TranslatedRecord& ten = *entries.at("-10");
    EXPECT_TRUE(ten.tag().is("INFO"));
    ASSERT_EQ(ten.subrecordCount(), 2u);
    EXPECT_TRUE(ten.subrecordAt(0).tag.is("INAM"));
    EXPECT_EQ(std::string(ten.subrecordAt(0).data.begin(), ten.subrecordAt(0).data.end()),
              std::string("-10\0", 4));
    EXPECT_TRUE(ten.subrecordAt(1).tag.is("NAME"));
    EXPECT_EQ(std::string(ten.subrecordAt(1).data.begin(), ten.subrecordAt(1).data.end()),
              std::string("Ten.\0", 5));
    ASSERT_TRUE(ten.translation());
    EXPECT_TRUE(ten.translation()->tag.is("-TR-"));
    EXPECT_EQ(std::string(ten.translation()->data.begin(), ten.translation()->data.end()),
              std::string("Dieci.\0", 7));
    EXPECT_EQ(ten.size(), 8u + 4u + 8u + 5u);
    EXPECT_EQ(entries.at("-1")->findText("NAME"), "Kept.");
    EXPECT_EQ(entries.at("-0")->findText("NAME"), "Zero.");
}

} // namespace
} // namespace orvella
