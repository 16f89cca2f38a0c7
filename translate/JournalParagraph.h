#pragma once

#include "translate/ConversionContext.h"
#include "translate/TopicLinks.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvella {

// Reads the player's name from the paragraph at the position of the candidate's first "%Name": it ends
// before the character that precedes the anchor, the candidate's text from the second character after the
// placeholder up to the next "%Name" or its end; an empty anchor (the candidate ends with the placeholder)
// lets the name run to the paragraph's end. When exactly one character follows the only placeholder, the
// name runs up to the paragraph's last character, which must be that one. On success every "%Name" of the
// candidate becomes the name. Nothing, with the candidate unchanged, when the anchor or that last character
// is not in the paragraph or when the placeholder lies beyond the paragraph's end.
std::optional<std::string> resolvePlayerName(std::string& candidate, std::size_t placeholder,
                                             std::string_view paragraph);

// The target-language text of the first journal entry, in ascending key order, whose source-language text
// equals the paragraph without its hyperlink marks, with the player's name filled in and the target
// language's topics marked; nothing when no entry matches.
std::optional<std::string> translateJournalParagraph(std::string_view paragraph,
                                                     const ConversionContext& context);

// translateJournalParagraph for every paragraph of a journal, without comparing each paragraph with every
// entry: entries without a placeholder are found by their exact text, and an entry with "%Name" is only tried
// when the paragraph begins and ends as its text does around the placeholders. Among the entries that match,
// the one first in key order still wins. It reads the maps and lists of the context, which must not change
// while it is in use.
class JournalTranslator {
public:
    explicit JournalTranslator(const ConversionContext& context);

    std::optional<std::string> translate(std::string_view paragraph) const;

private:
    struct Entry {
        std::string_view source; // in the save's language
        std::string_view target;
        std::size_t placeholder = std::string_view::npos; // the first "%Name" of source
        std::size_t suffix = 0;                           // the text after the last "%Name", by its length
        std::size_t fixedLength = 0;                      // source's length without its placeholders
        std::size_t placeholders = 0;
    };
    using Bucket = std::unordered_map<std::uint32_t, std::vector<std::uint32_t>>;

    bool couldMatch(const Entry& entry, std::string_view text) const;
    std::optional<std::string> finish(const Entry& entry, const std::string& name) const;

    std::vector<Entry> entries_; // in key order
    std::unordered_map<std::string_view, std::uint32_t> exact_;
    Bucket byFirstBytes_; // placeholder entries by the first four bytes of their text
    Bucket byLastBytes_;  // those with less before the placeholder, by the last four bytes
    std::vector<std::uint32_t> others_;
    TopicMarker marker_;
};

} // namespace orvella
