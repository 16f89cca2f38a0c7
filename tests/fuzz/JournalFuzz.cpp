// Feeds arbitrary bytes to the journal handler as a JOUR record's NAME, both ways, against the demo game's
// entries, topics and months, and compares everything with the literal journal translation. The bytes after
// the first NUL, which the handler never reads, name topics of their own, one a line, for a second comparison
// of the topic marking with the literal one on the same text.

#include "FuzzSupport.h"
#include "literaljournal/LiteralJournal.h"
#include "translate/SaveHandlers.h"
#include "translate/TopicLinks.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvella::fuzz {
namespace {

// Topic names as the tables hold them: a few, and short.
constexpr std::size_t MaxTopics = 8, MaxTopicLength = 24;

void patchBothWays(const std::string& data, std::string_view text) {
    for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish}) {
        ConversionContext& context = preparedContext(direction);
        Record record("JOUR");
        record.appendSubrecord(
            std::make_unique<Subrecord>("NAME", data.data(), static_cast<std::uint32_t>(data.size())));
        require(patchJournal(record, context) && sizeAddsUp(record),
                "a journal record dropped, or one whose size does not add up");
        const literal::JournalOutput expected =
            literal::translateJournal(text, context.maps.journalEntryMap, direction, context.names);
        const Subrecord* name = record.findSubrecord("NAME");
        require(name && std::string(name->data.begin(), name->data.end()) == expected.text + '\0',
                "a journal text other than the literal one, or without its NUL");
        require(context.log.untranslatedJournalCount() == expected.untranslated,
                "untranslated paragraphs counted unlike the literal translation");
    }
}

void markWithOwnTopics(std::string_view text, std::string_view topicLines) {
    std::vector<TopicLink> links;
    while (!topicLines.empty() && links.size() < MaxTopics) {
        const std::size_t end = topicLines.find('\n');
        const std::string_view name = topicLines.substr(0, std::min(end, MaxTopicLength));
        links.push_back(TopicLink{name, name, static_cast<std::uint32_t>(name.size())});
        topicLines.remove_prefix(std::min(end, topicLines.size() - 1) + 1);
    }
    std::stable_sort(links.begin(), links.end(),
                     [](const TopicLink& a, const TopicLink& b) { return a.fromLength > b.fromLength; });
    std::string marked(text), literalMarked(text);
    insertTopicLinks(marked, links);
    literal::insertTopicLinks(literalMarked, links);
    require(marked == literalMarked, "topics marked unlike the literal marking");
    std::string unmarked(text);
    for (std::string* marks : {&marked, &unmarked})
        std::erase_if(*marks, [](char c) { return c == '@' || c == '#'; });
    require(marked == unmarked, "the marking changed more than its marks");
}

} // namespace
} // namespace orvella::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string data(reinterpret_cast<const char*>(bytes), size);
    const std::size_t nul = data.find('\0');
    const std::string_view text = std::string_view(data).substr(0, nul);
    orvella::fuzz::patchBothWays(data, text);
    if (nul != std::string::npos)
        orvella::fuzz::markWithOwnTopics(text, std::string_view(data).substr(nul + 1));
    return 0;
}
