#include "ConversionFixture.h"
#include "literaljournal/LiteralJournal.h"
#include "translate/JournalFixes.h"
#include "translate/JournalParagraph.h"
#include "translate/NameMaps.h"
#include "translate/SaveHandlers.h"
#include "translate/TopicLinks.h"

#include <cctype>
#include <gtest/gtest.h>
#include <random>

namespace orvella {
namespace {

using build::RecordBuilder;

// Names that contain one another, overlap, differ in case from words of the texts, hold accented letters, or
// cannot be marked.
// clang-format off
const std::vector<TopicRow> Topics = {
    {"ring", "anello"}, {"the ring", "l'anello"}, {"ring of fire", "anello di fuoco"}, {"fire", "fuoco"},
    {"Balmora", "Balmora"}, {"balm", "balsamo"}, {"Caius", "Caius"}, {"Caius Cosades", "Caius Cosades"},
    {"ab cd", "ab cd"}, {"cd ef", "cd ef"}, {"city", "citt\xE0"}, {"it is here", "\xC8 qui"},
    {"seven", "sette"}, {"even", "ette"}, {"", ""}, {"b @", "x #"}};
// clang-format on
const std::string_view Separators[] = {" ",  " ", "\"", ")", "'", "\t", "\r",
                                       "\n", "(", "-",  ",", "",  "x",  "<\n"};
const std::string_view Words[] = {"go", "the", "ab", "cd", "citt\xC0", "\xC8", "qui", "it", "RING", "rINg"};
const std::string_view PlayerNames[] = {"Nerevar", "Dagoth Ur", "", "Bob the ring", "x%Name", "a, b."};
const std::string_view Keys[] = {"-0", "-5", "0", "10", "19", "2", "9z", "A", "a", "a1", "\xE8", "~"};
// Headings of both languages, with signs, blanks and the limits of their numbers and month texts, and lines
// that cannot be rewritten: no ">", no day of the month, the other language's word for day, no day number, no
// "(", numbers that do not fit, a month text of 64 characters.
const std::string M62(62, 'm'), M63(63, 'm');
// clang-format off
const std::string Headings[] = {
    "<FONT COLOR=\"9F0000\">16 Last Seed (Day 3)</FONT><BR>", "<FONT SIZE=2>\t+1 \r Last Seed (Day\v\r -12)",
    "<FONT COLOR=\"9F0000\">2 Ultimo Seme (Giorno 40)</FONT>", "<B>-2147483648 " + M62 + " (Day 2147483647)",
    "<I>-2147483648 " + M62 + " (Giorno 2147483647)", "16 Last Seed (Day 3)", "<no heading at all",
    "<FONT SIZE=\"2\">1 Sun's Dusk (Day 7)</FONT>", "<FONT 16 Last Seed (Day 3)", "<B>Last Seed (Day 3)",
    "<B>16 Last Seed (Day x)", "<B>16 Last Seed Day 3", "<B>2147483648 Last Seed (Day 3)",
    "<B>16 Last Seed (Day -2147483649)", "<B>16 " + M63 + " (Day 3)"};
// clang-format on

struct RandomJournal {
    RandomJournal(std::uint32_t seed, ConversionDirection direction) : random_(seed), fixture(direction) {
        std::vector<TopicRow> rows = Topics;
        std::shuffle(rows.begin(), rows.end(), random_);
        rows.resize(4 + pick(rows.size() - 3));
        // A name listed twice, as the pair that both expansions share is.
        rows.push_back(rows[pick(rows.size())]);
        loadTopicTables({rows, {}, {}, {}}, {}, direction, {}, fixture.names);
        fixture.names.monthNameMap = {{M62, "M63"}, {M63, "M64"}};
        fixture.names.monthNameMap.emplace(direction == EnglishToItalian ? "Last Seed" : "Ultimo Seme",
                                           direction == EnglishToItalian ? "Ultimo Seme" : "Last Seed");
        for (int i = 5 + static_cast<int>(pick(30)); i > 0; --i) {
            TranslationMap& entries = fixture.maps[MapKind::JournalEntry];
            const std::string key = std::string(Keys[pick(std::size(Keys))]) + std::to_string(pick(4));
            const int englishNames = chance(55) ? 1 + static_cast<int>(pick(3)) : 0;
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
        const TranslationMap& entries = fixture.maps[MapKind::JournalEntry];
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

// The journal code and the literal algorithm agree on random journals of every kind of entry and heading.
TEST(JournalOracle, TranslatesAndMarksRandomJournalsAsTheLiteralAlgorithm) {
    std::size_t translated = 0, marked = 0, named = 0;
    for (std::uint32_t seed = 0; seed < 300; ++seed) {
        SCOPED_TRACE(seed);
        RandomJournal world(seed, seed % 2 ? ItalianToEnglish : EnglishToItalian);
        test::ConversionFixture& fixture = world.fixture;
        const ConversionDirection direction = fixture.context.direction;
        std::string journal;
        for (int i = 0; i < 40; ++i) {
            const std::string paragraph = world.paragraph();
            const auto expected = literal::translateParagraph(paragraph, fixture.maps[MapKind::JournalEntry],
                                                              direction, world.links());
            ASSERT_EQ(translateJournalParagraph(paragraph, fixture.context), expected) << paragraph;
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
            const std::size_t from = world.pick(paragraph.size() + 1), to = world.pick(paragraph.size() + 1);
            ASSERT_EQ(isInsideLink(paragraph, from, to), literal::isInsideLink(paragraph, from, to))
                << paragraph;

            std::string text = world.text(direction == EnglishToItalian, 0);
            world.markSomeTopics(text);
            std::string literalText = text;
            insertTopicLinks(text, world.links());
            literal::insertTopicLinks(literalText, world.links());
            ASSERT_EQ(text, literalText);
        }
        const literal::JournalOutput expected =
            literal::translateJournal(journal, fixture.maps[MapKind::JournalEntry], direction, fixture.names);
        auto record = build::RecordBuilder("JOUR").text("NAME", journal).build();
        ASSERT_TRUE(patchJournal(*record, fixture.context));
        ASSERT_EQ(test::bytesOf(*record), build::RecordBuilder("JOUR").text("NAME", expected.text).bytes());
        EXPECT_TRUE(fixture.log.text.ends_with("\n\n" + expected.log));
        EXPECT_EQ(fixture.log.untranslatedJournalCount(), expected.untranslated);
    }
    // The generator must reach both outcomes, names and links often enough to mean something.
    EXPECT_TRUE(translated > 5000 && 12000 - translated > 3000 && marked > 3000 && named > 300)
        << translated << " " << marked << " " << named;
}

// More names than states of 16 bits can number still mark as the literal search does.
TEST(TopicMarker, MarksAsTheLiteralSearchWithMoreStatesThanSixteenBitsHold) {
    std::mt19937 random(7);
    std::vector<std::string> names(3500);
    for (std::string& name : names)
        for (int i = 0; i < 24; ++i)
            name += static_cast<char>('a' + random() % 26);
    std::vector<TopicLink> links;
    for (const std::string& name : names)
        links.push_back({name, name, static_cast<std::uint32_t>(name.size())});
    for (int t = 0; t < 20; ++t) {
        std::string text;
        for (int w = 0; w < 30; ++w) {
            std::string word = names[random() % names.size()].substr(0, random() % 3 ? 24 : 12);
            if (random() % 4 == 0)
                word[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
            text += word + (random() % 5 ? " " : "");
        }
        std::string literalText = text;
        insertTopicLinks(text, links);
        literal::insertTopicLinks(literalText, links);
        ASSERT_EQ(text, literalText);
        ASSERT_NE(text.find('@'), std::string::npos);
    }
}

// A mark put in just before a name is what stands in front of it, not the blank the text had there: a name
// ending in an apostrophe leaves the next name unmarked, as do a longer name's marks a shorter one's. The
// search for a name goes on one character past the last one found, so an "@" put in there opens no link; a
// name listed twice is searched in the turn of its first listing.
TEST(TopicMarker, AMarkInFrontOfANameIsNotTheTextsBlank) {
    const std::vector<TopicLink> links = {
        {"Vivec City", "", 10}, {"guar'", "", 5}, {"Vivec", "", 5}, {"a b", "", 3}, {"b", "", 1}};
    const std::vector<TopicLink> twice = {{"a b", "", 3}, {"a a", "", 3}, {"a b", "", 3}, {"ba", "", 2}};
    for (auto [text, list] : {std::pair<std::string, const std::vector<TopicLink>*>{"a guar'b", &links},
                              {"to Vivec City, Vivec", &links},
                              {"@a ba b", &links},
                              {"@a b# b", &links},
                              {"a a bba", &twice}}) {
        std::string literalText = text;
        insertTopicLinks(text, *list);
        literal::insertTopicLinks(literalText, *list);
        EXPECT_EQ(text, literalText);
    }
}

std::string heading(std::string_view inside) {
    return "<FONT COLOR=\"9F0000\">" + std::string(inside) + "</FONT><BR>\n";
}

// The untranslated count starts again with each journal, the text ends at its first NUL, the progress is told
// at each heading after the first and at the end, and the fixes come before the game's entries unless their
// key is taken.
TEST(PatchJournal, CountsAgainEndsAtTheNulTellsItsProgressAndTakesTheFixesFirst) {
    test::ConversionFixture fixture;
    fixture.names.monthNameMap = {{"Last Seed", "Ultimo Seme"}};
    const TopicRow balmora[] = {{"Balmora", "Balmora"}};
    loadTopicTables({balmora, {}, {}, {}}, {}, EnglishToItalian, {}, fixture.names);
    fixture.addJournalEntry("10", "Go to Balmora.", "Vai a Balmora.");
    fixture.addJournalEntry("12", "Sleep.", "Riposa.");
    fixture.addJournalEntry("-2", "Wake.", "Svegliati.");
    const JournalFixRow fixes[] = {{"Q0", "Sleep.", "Dormi."}, {"Q1", "", ""}, {"Q2", "Wake.", "Alzati."}};
    addJournalFixes(fixes, fixture.maps);
    EXPECT_FALSE(fixture.maps[MapKind::JournalEntry].contains("-1"));
    for (int i = 0; i < 7; ++i)
        fixture.log.countUntranslatedParagraph();
    auto patch = [&fixture](std::string_view nameData) {
        auto record = RecordBuilder("JOUR").sub("NAME", nameData).build();
        EXPECT_TRUE(patchJournal(*record, fixture.context));
        EXPECT_EQ(record->size(), test::payloadSize(*record));
        return std::string(*record->findText("NAME")) +
               (record->subrecordAt(0).data.back() ? "<no NUL>" : "");
    };
    const std::string first = heading("16 Last Seed (Day 3)") + "Go to @Balmora#.<P>\n";
    const std::string second = heading("1 Last Seed (Day 1)") + "Sleep.<P>\n";
    const std::string journal = first + second + heading("2 Last Seed (Day 1)") + "Wake.<P>\n";
    EXPECT_EQ(patch(journal + std::string(1, '\0') + "x"),
              heading("16 Ultimo Seme (Giorno 3)") + "Vai a @Balmora#.<P>\n" +
                  heading("1 Ultimo Seme (Giorno 1)") + "Dormi.<P>\n" + heading("2 Ultimo Seme (Giorno 1)") +
                  "Svegliati.<P>\n");
    EXPECT_EQ(fixture.log.untranslatedJournalCount(), 0u);
    EXPECT_EQ(patch(std::string("\0\0\0", 3)), "");
    const auto length = static_cast<std::uint32_t>(journal.size());
    EXPECT_EQ(fixture.journalProgress,
              (std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                  {first.size(), length}, {first.size() + second.size(), length}, {length, length}, {0, 0}}));
}

} // namespace
} // namespace orvella
