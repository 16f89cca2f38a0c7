#pragma once

#include "translate/NameMaps.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

// Where a topic name was found from a search start, and whether the character before it lets it be a link.
struct TopicMatch {
    bool accepted = false;
    std::optional<std::size_t> position; // in the whole text
};

// Finds the name in the text from searchStart on, ignoring the case of A to Z. The occurrence is accepted
// at the search start or after a blank, a double quote, a closing bracket or an apostrophe.
TopicMatch findTopic(std::string_view text, std::size_t searchStart, std::string_view name);

// True when, walking back from just before position to searchStart, an "@" comes before any "#".
bool isInsideLink(std::string_view text, std::size_t searchStart, std::size_t position);

// Marks every accepted occurrence of the list's topic names with "@" before and "#" after, longest names
// first, so that shorter names inside a marked one stay unmarked.
void insertTopicLinks(std::string& text, const std::vector<TopicLink>& links);

} // namespace orvella
