#include "translate/JournalEntries.h"

#include "records/Bytes.h"
#include "translate/JournalParagraph.h"

#include <algorithm>

namespace orvella {

namespace {

constexpr std::size_t KeyBytes = 4;

// The four bytes as one number, which only ever serves as a key.
std::uint32_t keyOf(std::string_view fourBytes) {
    return loadU32(reinterpret_cast<const std::uint8_t*>(fourBytes.data()));
}

// What any text made from the entry by filling its placeholders with one name has: the entry's start and
// end, and a length that the placeholders share out evenly.
bool couldMatch(const JournalEntry& entry, std::string_view text) {
    if (text.size() < entry.fixedLength || (text.size() - entry.fixedLength) % entry.placeholders != 0)
        return false;
    return text.substr(0, entry.placeholder) == entry.source.substr(0, entry.placeholder) &&
           text.substr(text.size() - entry.suffix) == entry.source.substr(entry.source.size() - entry.suffix);
}

} // namespace

JournalEntries::JournalEntries(const TranslationMaps& maps, ConversionDirection direction)
    : exact_(maps[MapKind::JournalEntry].size()) {
    const bool toItalian = direction == EnglishToItalian;
    for (const auto& [id, record] : maps[MapKind::JournalEntry]) {
        const Subrecord* translation = record->translation();
        std::optional<std::string_view> english = record->findText("NAME");
        if (!translation || !english)
            continue;
        JournalEntry entry;
        entry.source = toItalian ? *english : translation->text();
        entry.target = toItalian ? translation->text() : *english;
        entry.placeholder = entry.source.find(Placeholder);
        const auto index = static_cast<std::uint32_t>(entries_.size());
        if (entry.placeholder == std::string_view::npos) {
            // The first entry in key order keeps the text.
            exact_.tryEmplace(entry.source, index);
            entries_.push_back(entry);
            continue;
        }
        std::size_t last = entry.placeholder;
        for (std::size_t at = entry.placeholder; at != std::string_view::npos;
             at = entry.source.find(Placeholder, at + Placeholder.size())) {
            ++entry.placeholders;
            last = at;
        }
        entry.suffix = entry.source.size() - last - Placeholder.size();
        entry.fixedLength = entry.source.size() - entry.placeholders * Placeholder.size();
        if (entry.placeholder >= KeyBytes)
            byFirstBytes_[keyOf(entry.source.substr(0, KeyBytes))].push_back(index);
        else if (entry.suffix >= KeyBytes)
            byLastBytes_[keyOf(entry.source.substr(entry.source.size() - KeyBytes))].push_back(index);
        else
            others_.push_back(index);
        entries_.push_back(entry);
    }
}

const JournalEntry* JournalEntries::find(const std::string& stripped, std::string& name) const {
    const std::uint32_t* exact = exact_.find(stripped);
    const std::uint32_t exactIndex = exact ? *exact : UINT32_MAX;

    // The placeholder entries that could come before the exact match, in key order.
    std::vector<std::uint32_t> candidates;
    auto gather = [&](const std::vector<std::uint32_t>& indices) {
        for (std::uint32_t index : indices) {
            if (index >= exactIndex)
                break;
            if (couldMatch(entries_[index], stripped))
                candidates.push_back(index);
        }
    };
    if (stripped.size() >= KeyBytes) {
        if (auto found = byFirstBytes_.find(keyOf(std::string_view(stripped).substr(0, KeyBytes)));
            found != byFirstBytes_.end())
            gather(found->second);
        if (auto found =
                byLastBytes_.find(keyOf(std::string_view(stripped).substr(stripped.size() - KeyBytes)));
            found != byLastBytes_.end())
            gather(found->second);
    }
    gather(others_);
    std::sort(candidates.begin(), candidates.end());

    std::string candidate;
    for (std::uint32_t index : candidates) {
        const JournalEntry& entry = entries_[index];
        candidate.assign(entry.source);
        name.clear();
        if (auto resolved = resolvePlayerName(candidate, entry.placeholder, stripped))
            name = std::move(*resolved);
        if (candidate == stripped)
            return &entry;
    }
    name.clear();
    return exact ? &entries_[exactIndex] : nullptr;
}

} // namespace orvella
