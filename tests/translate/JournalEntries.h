#pragma once

#include "RecordViews.h"
#include "translate/BuiltInTables.h"
#include "translate/NameMaps.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvella::test {

// Puts a journal entry into the map as the scan leaves it, the Italian text as its translation.
inline void addJournalEntry(TranslationMap& entries, const std::string& id, std::string_view english,
                            std::optional<std::string_view> italian) {
    entries.emplace(id,
                    mapEntry(build::RecordBuilder("INFO").text("INAM", id).text("NAME", english), italian));
}

// Adds both link lists' rows for pairs of English and Italian topic names, longest first as loadTopicTables
// sorts them.
inline void setTopicLinks(NameMaps& names, const std::vector<TopicRow>& rows) {
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
