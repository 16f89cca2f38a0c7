#pragma once

#include "game/SaveInfo.h"
#include "scan/TextIndex.h"
#include "scan/TranslationMap.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvella {

// What an entry's text holds where the player's name goes.
inline constexpr std::string_view Placeholder = "%Name";

// A journal entry's texts, in the save's language and in the other.
struct JournalEntry {
    std::string_view source;
    std::string_view target;
    std::size_t placeholder = std::string_view::npos; // the first "%Name" of source
    std::size_t suffix = 0;                           // the text after the last "%Name", by its length
    std::size_t fixedLength = 0;                      // source's length without its placeholders
    std::size_t placeholders = 0;
};

// The journal entries of the maps, found without comparing a paragraph with every entry: entries without a
// placeholder by their exact text, and an entry with "%Name" only when the paragraph begins and ends as its
// text does around the placeholders. It points into the entry map, which must not change while it is in use.
class JournalEntries {
public:
    JournalEntries(const TranslationMaps& maps, ConversionDirection direction);

    // The first entry in key order whose text, with the player's name filled in, is the paragraph without
    // its hyperlink marks; the name goes into name. Null when no entry is.
    const JournalEntry* find(const std::string& stripped, std::string& name) const;

private:
    using Bucket = std::unordered_map<std::uint32_t, std::vector<std::uint32_t>>;

    std::vector<JournalEntry> entries_; // in key order
    TextIndex exact_;
    Bucket byFirstBytes_; // placeholder entries by the first four bytes of their text
    Bucket byLastBytes_;  // those with less before the placeholder, by the last four bytes
    std::vector<std::uint32_t> others_;
};

} // namespace orvella
