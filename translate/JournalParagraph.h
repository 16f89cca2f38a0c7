#pragma once

#include "translate/ConversionContext.h"
#include "translate/JournalEntries.h"
#include "translate/TopicLinks.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

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

// translateJournalParagraph for every paragraph of a journal, its entries found through JournalEntries and
// its topics marked by one TopicMarker. It reads the maps and lists of the context, which must not change
// while it is in use; a job may make its two parts on two threads.
class JournalTranslator {
public:
    explicit JournalTranslator(const ConversionContext& context);
    JournalTranslator(JournalEntries entries, TopicMarker marker);

    std::optional<std::string> translate(std::string_view paragraph) const;

private:
    JournalEntries entries_;
    TopicMarker marker_;
};

} // namespace orvella
