#include "ConversionFixture.h"
#include "JournalEntries.h"
#include "gamebuilder/GameBuilder.h"
#include "literaljournal/LiteralJournal.h"
#include "translate/JournalParagraph.h"
#include "translate/SaveHandlers.h"
#include "translate/TopicLinks.h"

#include <cctype>
#include <gtest/gtest.h>
#include <random>

namespace orvella {
namespace {

// Topic names that contain one another, names of equal length that overlap, names that differ only in
// case from words of the texts, and names with accented letters.
const TopicRow Topics[] = {
    {"ring", "anello"},
    {"the ring", "l'anello"},
    {"ring of fire", "anello di fuoco"},
    {"fire", "fuoco"},
    {"Balmora", "Balmora"},
    {"balm", "balsamo"},
    {"Caius", "Caius"},
    {"Caius Cosades", "Caius Cosades"},
    {"Cosades", "Cosades"},
    {"ab cd", "ab cd"},
    {"cd ef", "cd ef"},
    {"Vos", "Vos"},
    {"city", "citt\xE0"},
    {"it is here", "\xC8 qui"},
    {"seven", "sette"},
    {"even", "ette"},
};

// Every character that opens a link, blanks and line breaks included, and characters that do not.
const std::string_view Separators[] = {" ",  " ", " ", "\"", ")", "'",  "\t", "\r",
                                       "\n", "(", "-", ",",  ".", "\v", "",   "x"};

const std::string_view Words[] = {"go",       "to",       "the",  "and",  "ab",      "cd",   "ef",
                                  "citt\xC0", "citt\xE0", "\xC8", "qui",  "Nerevar", "it",   "is",
                                  "here",     "cosades",  "RING", "Ring", "rINg",    "fIRE", "BALMORA"};

const std::string_view PlayerNames[] = {"Nerevar", "Dagoth Ur", "",      "Bob the ring", "x%Name",
                                        "Caius",   "a, b. c",   "%Name", "@Vos#"};

const std::string_view Keys[] = {"-0", "-1", "-5", "0", "1",  "10", "100", "19", "2",  "20",   "9z",
                                 "A",  "B",  "Z",  "a", "a1", "b",  "bb",  "z",  "zz", "\xE8", "~"};

class World {
public:
    World(std::uint32_t seed, ConversionDirection direction) : random_(seed), fixture_(direction) {
        std::vector<TopicRow> rows(std::begin(Topics), std::end(Topics));
        std::shuffle(rows.begin(), rows.end(), random_);
        rows.resize(4 + pick(rows.size() - 3));
        for (const TopicRow& row : rows)
            addLinks(row);
        // A name listed twice, as the pair that both expansions share is.
        if (chance(30))
            addLinks(rows[pick(rows.size())]);
        sortLinks();
        const int entryCount = 5 + static_cast<int>(pick(30));
        for (int i = 0; i < entryCount; ++i)
            addEntry();
    }

    test::ConversionFixture& fixture() { return fixture_; }
    ConversionDirection direction() const { return fixture_.context.direction; }
    const std::vector<TopicLink>& links() {
        return direction() == EnglishToItalian ? fixture_.names.italianTopicLinks
                                               : fixture_.names.englishTopicLinks;
    }
    std::size_t pick(std::size_t count) { return random_() % count; }
    bool chance(int percent) { return static_cast<int>(pick(100)) < percent; }

    // A text of words, topic names in any case and separators, with the placeholder where asked.
    std::string text(bool italian, int placeholders) {
        std::string out;
        const int tokens = static_cast<int>(pick(12));
        // Some entries end with their last placeholder and one character, or with the placeholder alone.
        const bool endsWithName = placeholders > 0 && chance(20);
        std::vector<int> slots;
        for (int i = endsWithName ? 1 : 0; i < placeholders; ++i)
            slots.push_back(static_cast<int>(pick(static_cast<std::size_t>(tokens) + 1)));
        for (int t = 0; t <= tokens; ++t) {
            for (int slot : slots)
                if (slot == t)
                    out += "%Name";
            if (t == tokens)
                break;
            if (chance(45)) {
                const TopicRow& row = Topics[pick(std::size(Topics))];
                std::string name(italian ? row.italian : row.english);
                if (chance(25))
                    for (char& c : name)
                        c = static_cast<char>(chance(50) ? std::toupper(static_cast<unsigned char>(c)) : c);
                out += name;
            } else {
                out += Words[pick(std::size(Words))];
            }
            out += Separators[pick(std::size(Separators))];
            // Now and then a link mark of its own, which no paragraph without marks can match.
            if (chance(3))
                out += chance(50) ? '@' : '#';
        }
        if (endsWithName)
            out += chance(50) ? "%Name." : "%Name";
        return out;
    }

    // A paragraph of the save: most are an entry's text with a name and link marks, some are near misses,
    // some are anything.
    std::string paragraph() {
        const bool italian = direction() == ItalianToEnglish;
        const TranslationMap& entries = fixture_.maps.journalEntryMap;
        fromNameEntry = false;
        fromEntryEndingWithName = false;
        if (entries.empty() || chance(15))
            return text(italian, static_cast<int>(pick(2)));
        auto entry = entries.begin();
        std::advance(entry, static_cast<std::ptrdiff_t>(pick(entries.size())));
        const TranslatedRecord& record = *entry->second;
        std::string out(italian && record.translation() ? record.translation()->text()
                                                        : *record.findText("NAME"));
        fromNameEntry = out.find("%Name") != std::string::npos;
        fromEntryEndingWithName = fromNameEntry && out.find("%Name") + 6 >= out.size();
        const std::string name(PlayerNames[pick(std::size(PlayerNames))]);
        for (std::size_t at = out.find("%Name"); at != std::string::npos;
             at = out.find("%Name", at + name.size()))
            out.replace(at, 5, name);
        markSomeTopics(out);
        if (chance(10) && !out.empty())
            out.erase(pick(out.size()), 1);
        if (chance(5))
            out.insert(pick(out.size() + 1), 1, 'q');
        return out;
    }

    // Puts "@" and "#" around some topic names as the game would, and now and then a stray mark.
    void markSomeTopics(std::string& text) {
        for (const TopicLink& link : links()) {
            std::size_t at = text.find(link.from);
            if (at != std::string::npos && chance(50)) {
                text.insert(at + link.from.size(), 1, '#');
                text.insert(at, 1, '@');
            }
        }
        if (chance(10))
            text.insert(pick(text.size() + 1), 1, chance(50) ? '@' : '#');
    }

    bool fromNameEntry = false; // the last paragraph was made from an entry with "%Name"
    // ... from one whose first "%Name" is followed by one character at most
    bool fromEntryEndingWithName = false;

private:
    void addLinks(const TopicRow& row) {
        fixture_.names.englishTopicLinks.push_back(
            {row.english, row.italian, static_cast<std::uint32_t>(row.english.size())});
        fixture_.names.italianTopicLinks.push_back(
            {row.italian, row.english, static_cast<std::uint32_t>(row.italian.size())});
    }

    void sortLinks() {
        for (auto* links : {&fixture_.names.englishTopicLinks, &fixture_.names.italianTopicLinks})
            std::stable_sort(links->begin(), links->end(), [](const TopicLink& a, const TopicLink& b) {
                return a.fromLength > b.fromLength;
            });
    }

    void addEntry() {
        TranslationMap& entries = fixture_.maps.journalEntryMap;
        std::string key(Keys[pick(std::size(Keys))]);
        key += std::to_string(pick(4));
        const int englishNames = chance(55) ? 1 + static_cast<int>(pick(2)) : 0;
        const int italianNames = englishNames ? static_cast<int>(pick(3)) : 0;
        std::string english = text(false, englishNames);
        std::string italian = text(true, italianNames);
        // Entries that share a text: only the first in key order may win.
        if (!entries.empty() && chance(15)) {
            const TranslatedRecord& other = *entries.begin()->second;
            english = std::string(*other.findText("NAME"));
            if (other.translation())
                italian = std::string(other.translation()->text());
            italian += " (bis)";
        }
        std::optional<std::string_view> translation;
        if (!chance(8))
            translation = italian;
        test::addJournalEntry(entries, key, english, translation);
    }

    std::mt19937 random_;
    test::ConversionFixture fixture_;
};

TEST(JournalOracle, TranslatesTenThousandRandomParagraphsAsTheLiteralAlgorithm) {
    std::size_t translated = 0;
    std::size_t untranslated = 0;
    std::size_t withName = 0;
    std::size_t endingWithName = 0;
    std::size_t marked = 0;
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        World world(seed, seed % 2 ? ItalianToEnglish : EnglishToItalian);
        for (int i = 0; i < 60; ++i) {
            const std::string paragraph = world.paragraph();
            const auto fast = translateJournalParagraph(paragraph, world.fixture().context);
            const auto literal = literal::translateParagraph(paragraph, world.fixture().maps.journalEntryMap,
                                                             world.direction(), world.links());
            ASSERT_EQ(fast, literal) << "seed " << seed << ", paragraph " << i << ": " << paragraph;
            if (!literal) {
                ++untranslated;
                continue;
            }
            ++translated;
            if (literal->find('@') != std::string::npos)
                ++marked;
            if (world.fromNameEntry)
                ++withName;
            if (world.fromEntryEndingWithName)
                ++endingWithName;
        }
    }
    EXPECT_EQ(translated + untranslated, 12000u);
    // The generator must reach both outcomes, names and links often enough to mean something.
    EXPECT_GT(translated, 4500u);
    EXPECT_GT(untranslated, 3000u);
    EXPECT_GT(withName, 1500u);
    EXPECT_GT(endingWithName, 400u);
    EXPECT_GT(marked, 3000u);
}

TEST(JournalOracle, MarksRandomTextsAsTheLiteralAlgorithm) {
    for (std::uint32_t seed = 0; seed < 100; ++seed) {
        World world(1000 + seed, seed % 2 ? ItalianToEnglish : EnglishToItalian);
        for (int i = 0; i < 100; ++i) {
            std::string text = world.text(world.direction() == EnglishToItalian, 0);
            world.markSomeTopics(text);
            std::string fast = text;
            std::string literal = text;
            insertTopicLinks(fast, world.links());
            literal::insertTopicLinks(literal, world.links());
            ASSERT_EQ(fast, literal) << "seed " << seed << ": " << text;
        }
    }
}

TEST(JournalOracle, TranslatesRandomJournalsAsTheLiteralAlgorithm) {
    const std::string_view headings[] = {
        "<FONT COLOR=\"9F0000\">16 Last Seed (Day 3)</FONT><BR>",
        "<FONT COLOR=\"9F0000\">2 Ultimo Seme (Giorno 40)</FONT><BR>",
        "<FONT SIZE=\"2\">1 Sun's Dusk (Day 7)</FONT>",
        "<no heading at all",
    };
    for (std::uint32_t seed = 0; seed < 100; ++seed) {
        World world(5000 + seed, seed % 2 ? ItalianToEnglish : EnglishToItalian);
        test::ConversionFixture& fixture = world.fixture();
        fixture.names.monthNameMap = world.direction() == EnglishToItalian
                                         ? NameMap{{"Last Seed", "Ultimo Seme"}}
                                         : NameMap{{"Ultimo Seme", "Last Seed"}};
        std::string journal;
        for (int i = 0; i < 30; ++i) {
            journal += headings[world.pick(std::size(headings))];
            journal += world.chance(10) ? "\n\n" : "\n";
            journal += world.paragraph();
            journal += world.chance(5) ? "\n" : "<P>\n";
        }
        const literal::JournalOutput literal = literal::translateJournal(
            journal, fixture.maps.journalEntryMap, world.direction(), fixture.names);
        auto record = build::RecordBuilder("JOUR").sub("NAME", journal + '\0').build();
        world.fixture().log.text.clear();
        ASSERT_TRUE(patchJournal(*record, fixture.context));
        const auto& data = record->subrecordAt(0).data;
        ASSERT_EQ(std::string(data.begin(), data.end()), literal.text + '\0') << "seed " << seed;
        EXPECT_EQ(world.fixture().log.text, "\n- FRASI DEL JOURNAL NON TRADOTTE -\n\n" + literal.log)
            << "seed " << seed;
        EXPECT_EQ(fixture.log.untranslatedJournalCount(), literal.untranslated) << "seed " << seed;
    }
}

} // namespace
} // namespace orvella
