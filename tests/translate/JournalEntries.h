#pragma once

#include "scan/TranslationMap.h"
#include "translate/BuiltInTables.h"
#include "translate/NameMaps.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvella::test {

// Puts a journal entry into the map as the scan leaves it: INAM and NAME with their NULs, the Italian text
// as translation.
inline void addJournalEntry(TranslationMap& entries, const std::string& id, std::string_view english,
                            std::optional<std::string_view> italian) {
    auto record = std::make_unique<TranslatedRecord>("INFO");
    const std::string inam = id + '\0';
    const std::string name = std::string(english) + '\0';
    record->appendSubrecord(
        std::make_unique<Subrecord>("INAM", inam.data(), static_cast<std::uint32_t>(inam.size())));
    record->appendSubrecord(
        std::make_unique<Subrecord>("NAME", name.data(), static_cast<std::uint32_t>(name.size())));
    if (italian) {
        const std::string text = std::string(*italian) + '\0';
        record->setTranslation("-TR-", text.data(), static_cast<std::uint32_t>(text.size()));
    }
    entries.emplace(id, std::move(record));
}

// Both link lists for pairs of English and Italian topic names, longest first as loadTopicTables sorts them.
inline void setTopicLinks(NameMaps& names, std::initializer_list<TopicRow> rows) {
    for (const TopicRow& row : rows) {
        names.englishTopicLinks.push_back(
            {row.english, row.italian, static_cast<std::uint32_t>(row.english.size())});
        names.italianTopicLinks.push_back(
            {row.italian, row.english, static_cast<std::uint32_t>(row.italian.size())});
    }
    for (auto* links : {&names.englishTopicLinks, &names.italianTopicLinks})
        std::stable_sort(links->begin(), links->end(),
                         [](const TopicLink& a, const TopicLink& b) { return a.fromLength > b.fromLength; });
}

} // namespace orvella::test
