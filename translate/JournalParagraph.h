#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvella {

struct JobState;

// Reads the player's name from the paragraph at the position of the candidate's first "%Name": it ends
// before the character that precedes the anchor, the candidate's text from the second character after the
// placeholder up to the next "%Name" or its end. On success every "%Name" of the candidate becomes the name.
// Nothing, with the candidate unchanged, when the anchor is not in the paragraph or when the placeholder,
// the anchor or the name would lie outside either text.
std::optional<std::string> resolvePlayerName(std::string& candidate, std::size_t placeholder,
                                             std::string_view paragraph);

// The target-language text of the first journal entry, in ascending key order, whose source-language text
// equals the paragraph without its hyperlink marks, with the player's name filled in and the target
// language's topics marked; nothing when no entry matches.
std::optional<std::string> translateJournalParagraph(std::string_view paragraph, const JobState& state);

} // namespace orvella
