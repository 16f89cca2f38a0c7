// The journal code compared with the literal algorithm on random journals: entries with and without the
// player's name, paragraphs that match, nearly match or match nothing, topics in any case after any
// character, and headings of both languages.

#include "ConversionFixture.h"
#include "literaljournal/LiteralJournal.h"
#include "translate/JournalFixes.h"
#include "translate/JournalParagraph.h"
#include "translate/SaveHandlers.h"
#include "translate/TopicLinks.h"

#include <cctype>
#include <gtest/gtest.h>
#include <random>

namespace orvella {
namespace {

using build::RecordBuilder;

// Names that contain one another, overlap, differ in case from words of the texts, or hold accented letters.
// clang-format off
const std::vector<TopicRow> Topics = {
    {"ring", "anello"}, {"the ring", "l'anello"}, {"ring of fire", "anello di fuoco"}, {"fire", "fuoco"},
    {"Balmora", "Balmora"}, {"balm", "balsamo"}, {"Caius", "Caius"}, {"Caius Cosades", "Caius Cosades"},
    {"ab cd", "ab cd"}, {"cd ef", "cd ef"}, {"city", "citt\xE0"}, {"it is here", "\xC8 qui"},
    {"seven", "sette"}, {"even", "ette"}};
// clang-format on
const std::string_view Separators[] = {" ", " ", "\"", ")", "'", "\t", "\r", "\n", "(", "-", ",", "", "x"};
const std::string_view Words[] = {"go", "the", "ab", "cd", "citt\xC0", "\xC8", "qui", "it", "RING", "rINg"};
const std::string_view PlayerNames[] = {"Nerevar", "Dagoth Ur", "", "Bob the ring", "x%Name", "a, b."};
const std::string_view Keys[] = {"-0", "-5", "0", "10", "19", "2", "9z", "A", "a", "a1", "\xE8", "~"};
const std::string_view Headings[] = {
    "<FONT COLOR=\"9F0000\">16 Last Seed (Day 3)</FONT><BR>",
    "<FONT COLOR=\"9F0000\">2 Ultimo Seme (Giorno 40)</FONT><BR>",
    "<FONT SIZE=\"2\">1 Sun's Dusk (Day 7)</FONT>",
    "<no heading at all",
};

struct RandomJournal {
    RandomJournal(std::uint32_t seed, ConversionDirection direction) : random_(seed), fixture(direction) {
        std::vector<TopicRow> rows = Topics;
        std::shuffle(rows.begin(), rows.end(), random_);
        rows.resize(4 + pick(rows.size() - 3));
        // A name listed twice, as the pair that both expansions share is.
        rows.push_back(rows[pick(rows.size())]);
        fixture.setTopicLinks(rows);
        fixture.names.monthNameMap = direction == EnglishToItalian ? NameMap{{"Last Seed", "Ultimo Seme"}}
                                                                   : NameMap{{"Ultimo Seme", "Last Seed"}};
        for (int i = 5 + static_cast<int>(pick(30)); i > 0; --i) {
            TranslationMap& entries = fixture.maps.journalEntryMap;
            const std::string key = std::string(Keys[pick(std::size(Keys))]) + std::to_string(pick(4));
            const int englishNames = chance(55) ? 1 + static_cast<int>(pick(2)) : 0;
            std::string english = text(false, englishNames);
            std::string italian = text(true, englishNames ? static_cast<int>(pick(3)) : 0);
            // Entries that share a text: only the first in key order may win.
            if (!entries.empty() && chance(15)) {
                english = *entries.begin()->second->findText("NAME");
                italian += " (bis)";
            }
            fixture.addJournalEntry(key, english, chance(8) ? std::nullopt : std::optional(italian));
        }
    }

    std::size_t pick(std::size_t count) { return random_() % count; }
    bool chance(int percent) { return static_cast<int>(pick(100)) < percent; }
    const std::vector<TopicLink>& links() const {
        return fixture.context.direction == EnglishToItalian ? fixture.names.italianTopicLinks
                                                             : fixture.names.englishTopicLinks;
    }

    // Words, topic names in any case and separators, with the placeholders, some at the very end.
    std::string text(bool italian, int placeholders) {
        std::string out;
        const std::size_t tokens = pick(12);
        for (std::size_t t = 0; t < tokens; ++t) {
            if (placeholders > 0 && chance(20)) {
                out += "%Name";
                --placeholders;
            }
            if (chance(45)) {
                const TopicRow& row = Topics[pick(Topics.size())];
                std::string name(italian ? row.italian : row.english);
                if (chance(25))
                    for (char& c : name)
                        c = static_cast<char>(chance(50) ? std::toupper(static_cast<unsigned char>(c)) : c);
                out += name;
            } else {
                out += Words[pick(std::size(Words))];
            }
            out += Separators[pick(std::size(Separators))];
            if (chance(3))
                out += chance(50) ? '@' : '#';
        }
        for (; placeholders > 0; --placeholders)
            out += chance(50) ? "%Name" : "%Name.";
        return out;
    }

    // Mostly an entry's text (kept as the source) with a name and link marks, now and then damaged; sometimes
    // anything.
    std::string paragraph() {
        const bool italian = fixture.context.direction == ItalianToEnglish;
        const TranslationMap& entries = fixture.maps.journalEntryMap;
        if (chance(15))
            return text(italian, static_cast<int>(pick(2)));
        auto entry = std::next(entries.begin(), static_cast<std::ptrdiff_t>(pick(entries.size())));
        const TranslatedRecord& record = *entry->second;
        source = italian && record.translation() ? record.translation()->text() : *record.findText("NAME");
        std::string out = source;
        const std::string name(PlayerNames[pick(std::size(PlayerNames))]);
        for (std::size_t at = out.find("%Name"); at != std::string::npos;
             at = out.find("%Name", at + name.size()))
            out.replace(at, 5, name);
        markSomeTopics(out);
        if (chance(10) && !out.empty())
            out.erase(pick(out.size()), 1);
        return out;
    }

    // "@" and "#" around some topic names as the game puts them, and now and then a stray mark.
    void markSomeTopics(std::string& text) {
        for (const TopicLink& link : links())
            if (std::size_t at = text.find(link.from); at != std::string::npos && chance(50))
                text.insert(at + link.from.size(), 1, '#').insert(at, 1, '@');
        if (chance(10))
            text.insert(pick(text.size() + 1), 1, chance(50) ? '@' : '#');
    }

    std::mt19937 random_;
    test::ConversionFixture fixture;
    std::string source;
};

TEST(JournalOracle, TranslatesAndMarksRandomJournalsAsTheLiteralAlgorithm) {
    std::size_t translated = 0, marked = 0, named = 0;
    for (std::uint32_t seed = 0; seed < 300; ++seed) {
        RandomJournal world(seed, seed % 2 ? ItalianToEnglish : EnglishToItalian);
        test::ConversionFixture& fixture = world.fixture;
        const ConversionDirection direction = fixture.context.direction;
        std::string journal;
        for (int i = 0; i < 40; ++i) {
            const std::string paragraph = world.paragraph();
            const auto expected = literal::translateParagraph(paragraph, fixture.maps.journalEntryMap,
                                                              direction, world.links());
            ASSERT_EQ(translateJournalParagraph(paragraph, fixture.context), expected)
                << "seed " << seed << ": " << paragraph;
            translated += expected.has_value();
            marked += expected && expected->find('@') != std::string::npos;
            journal +=
                std::string(Headings[world.pick(std::size(Headings))]) + (world.chance(10) ? "\n\n" : "\n");
            journal += paragraph + (world.chance(5) ? "\n" : "<P>\n");

            // The name read back from the paragraph for its source, and a search for a topic.
            if (std::size_t at = world.source.find("%Name"); at != std::string::npos) {
                std::string candidate = world.source, literalCandidate = candidate;
                const std::optional<std::string> name = resolvePlayerName(candidate, at, paragraph);
                ASSERT_EQ(name.value_or(""), literal::resolvePlayerName(literalCandidate, at, paragraph))
                    << world.source << " / " << paragraph;
                ASSERT_EQ(candidate, literalCandidate);
                named += name && !name->empty();
            }
            const std::string_view topic = Topics[world.pick(Topics.size())].english;
            const std::size_t start = world.pick(paragraph.size() + 2);
            const TopicMatch match = findTopic(paragraph, start, topic);
            const literal::Found found = literal::findTopic(paragraph, start, topic);
            ASSERT_EQ(match.position.value_or(std::string::npos), found.position)
                << paragraph << " " << topic;
            ASSERT_TRUE(!match.position || match.accepted == found.accepted) << paragraph << " " << topic;

            std::string text = world.text(direction == EnglishToItalian, 0);
            world.markSomeTopics(text);
            std::string literalText = text;
            insertTopicLinks(text, world.links());
            literal::insertTopicLinks(literalText, world.links());
            ASSERT_EQ(text, literalText) << "seed " << seed;
        }
        const literal::JournalOutput expected =
            literal::translateJournal(journal, fixture.maps.journalEntryMap, direction, fixture.names);
        auto record = build::RecordBuilder("JOUR").text("NAME", journal).build();
        ASSERT_TRUE(patchJournal(*record, fixture.context));
        ASSERT_EQ(test::bytesOf(*record), build::RecordBuilder("JOUR").text("NAME", expected.text).bytes())
            << "seed " << seed;
        EXPECT_TRUE(fixture.log.text.ends_with("\n\n" + expected.log)) << "seed " << seed;
        EXPECT_EQ(fixture.log.untranslatedJournalCount(), expected.untranslated) << "seed " << seed;
    }
    // Names that cannot be marked or are listed twice, a lone line feed, a text longer than any fixed work
    // area.
    std::string longText;
    for (int i = 0; i < 700; ++i)
        longText += "the ring of Balmora, (my)ring @Caius# and Caius ";
    test::ConversionFixture fixture;
    fixture.setTopicLinks({{"", ""},
                           {"#", ""},
                           {"b @", ""},
                           {"\n", ""},
                           {"ring", ""},
                           {"Balmora", ""},
                           {"Caius", ""},
                           {"Caius", ""}});
    for (std::string text : {longText, std::string("\n"), std::string("a # b @ c\n")}) {
        std::string literalText = text;
        insertTopicLinks(text, fixture.names.englishTopicLinks);
        literal::insertTopicLinks(literalText, fixture.names.englishTopicLinks);
        EXPECT_EQ(text, literalText);
    }
    // The generator must reach both outcomes, names and links often enough to mean something.
    EXPECT_TRUE(translated > 5000 && 12000 - translated > 3000 && marked > 3000 && named > 300)
        << translated << " " << marked << " " << named;
}

std::string heading(std::string_view inside) {
    return "<FONT COLOR=\"9F0000\">" + std::string(inside) + "</FONT><BR>\n";
}

struct PatchJournal : testing::Test {
    test::ConversionFixture fixture;

    void SetUp() override { fill(EnglishToItalian); }

    void fill(ConversionDirection direction) {
        fixture.reset(direction);
        fixture.names.monthNameMap = direction == EnglishToItalian ? NameMap{{"Last Seed", "Ultimo Seme"}}
                                                                   : NameMap{{"Ultimo Seme", "Last Seed"}};
        fixture.names.monthNameMap.emplace(std::string(62, 'm'), "M63");
        fixture.names.monthNameMap.emplace(std::string(63, 'm'), "M64");
        fixture.setTopicLinks({{"Balmora", "Balmora"}, {"ring", "anello"}});
        fixture.addJournalEntry("10", "Go to Balmora.", "Vai a Balmora.");
        fixture.addJournalEntry("11", "Find the ring.\nThen rest.", "Trova l'anello.\nPoi riposa.");
        // The built-in fixes come before the game's entries, except where their key is taken.
        fixture.addJournalEntry("12", "Sleep.", "Riposa.");
        fixture.addJournalEntry("-2", "Wake.", "Svegliati.");
        const JournalFixRow fixes[] = {
            {"Q0", "Sleep.", "Dormi."}, {"Q1", "", ""}, {"Q2", "Wake.", "Alzati."}};
        addJournalFixes(fixes, fixture.maps);
        ASSERT_FALSE(fixture.maps.journalEntryMap.contains("-1"));
    }

    // Runs the handler on a JOUR record with exactly these NAME bytes and gives the new NAME bytes.
    std::string patch(std::string_view nameData) {
        auto record = RecordBuilder("JOUR").sub("NAME", nameData).build();
        EXPECT_TRUE(patchJournal(*record, fixture.context));
        EXPECT_EQ(record->size(), test::payloadSize(*record));
        return std::string(*record->findText("NAME")) +
               (record->subrecordAt(0).data.back() ? "<no NUL>" : "");
    }
};

// Untranslated paragraphs, empty lines and text without "<P>" are compared with the literal algorithm on
// random journals; here the count starts again with each journal, and the text ends at its first NUL. The
// progress is told at each heading after the first and at the end.
TEST_F(PatchJournal, RewritesHeadingsAndParagraphsBothWaysTellingItsProgress) {
    for (int i = 0; i < 7; ++i)
        fixture.log.countUntranslatedParagraph();
    const std::string first = heading("16 Last Seed (Day 3)") + "Go to @Balmora#.<P>\n";
    const std::string journal =
        first + "<FONT SIZE=\"2\">\t+1   Last Seed (Day\v  -12)\nFind the @ring#.\nThen rest.<P>\n";
    EXPECT_EQ(patch(journal + std::string(1, '\0') + "x"),
              heading("16 Ultimo Seme (Giorno 3)") + "Vai a @Balmora#.<P>\n" +
                  heading("1 Ultimo Seme (Giorno -12)") + "Trova l'@anello#.\nPoi riposa.<P>\n");
    EXPECT_EQ(fixture.log.untranslatedJournalCount(), 0u);
    EXPECT_EQ(patch(std::string("\0\0\0", 3)), "");
    const auto length = static_cast<std::uint32_t>(journal.size());
    EXPECT_EQ(fixture.journalProgress, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                                           {first.size(), length}, {length, length}, {0, 0}}));
    EXPECT_EQ(
        patch(heading("1 Last Seed (Day 1)") + "Sleep.<P>\n" + heading("2 Last Seed (Day 1)") + "Wake.<P>\n"),
        heading("1 Ultimo Seme (Giorno 1)") + "Dormi.<P>\n" + heading("2 Ultimo Seme (Giorno 1)") +
            "Svegliati.<P>\n");

    fill(ItalianToEnglish);
    EXPECT_EQ(patch(heading("16 Ultimo Seme (Giorno 3)") + "Vai a @Balmora#.<P>\n" +
                    heading("2 Last Seed (Day 3)") + "Trova l'anello.\nPoi riposa.<P>\n"),
              heading("16 Last Seed (Day 3)") + "Go to @Balmora#.<P>\n" + heading("2 Last Seed (Day 3)") +
                  "Find the @ring#.\nThen rest.<P>\n");
}

TEST_F(PatchJournal, HeadingsThatCannotBeRewrittenAreCopiedWithTheirLineFeed) {
    const std::string copied[] = {
        heading("16 Sun's Dusk (Day 3)"),                   // unknown month
        "<FONT 16 Last Seed (Day 3)\n",                     // no ">"
        heading("Last Seed (Day 3)"),                       // no day of the month
        heading("16 Last Seed (Giorno 3)"),                 // the other language's word for day
        heading("16 Last Seed (Day x)"),                    // no day number
        heading("16 Last Seed Day 3"),                      // no "("
        heading("2147483648 Last Seed (Day 3)"),            // a number that does not fit
        heading("16 Last Seed (Day -2147483649)"),          // nor does this one
        heading("16 " + std::string(63, 'm') + " (Day 3)"), // a month text of 64 characters
    };
    // Each comes after a good heading, whose values must not be used again.
    for (const std::string& line : copied)
        EXPECT_EQ(
            patch(heading("1 Last Seed (Day 1)") + "Go to Balmora.<P>\n" + line + "Go to Balmora.<P>\n"),
            heading("1 Ultimo Seme (Giorno 1)") + "Vai a @Balmora#.<P>\n" + line + "Vai a @Balmora#.<P>\n")
            << line;
    // The first line is a heading whatever it begins with; the limits of the numbers and the month text hold.
    EXPECT_EQ(patch("16 Last Seed (Day 3)\nGo to Balmora.<P>\n"),
              "16 Last Seed (Day 3)\nVai a @Balmora#.<P>\n");
    EXPECT_EQ(patch(heading("-2147483648 " + std::string(62, 'm') + " (Day 2147483647)")),
              heading("-2147483648 M63 (Giorno 2147483647)"));
}

} // namespace
} // namespace orvella
