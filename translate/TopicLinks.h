#pragma once

#include "translate/NameMaps.h"

#include <cstddef>
#include <cstdint>
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
// at the search start or after a blank (space, tab, carriage return or line feed), a double quote, a
// closing bracket or an apostrophe.
TopicMatch findTopic(std::string_view text, std::size_t searchStart, std::string_view name);

// True when, walking back from just before position to searchStart, an "@" comes before any "#".
bool isInsideLink(std::string_view text, std::size_t searchStart, std::size_t position);

// Marks every accepted occurrence of the list's topic names with "@" before and "#" after, longest names
// first, so that shorter names inside a marked one stay unmarked.
void insertTopicLinks(std::string& text, const std::vector<TopicLink>& links);

// The marking of insertTopicLinks for many texts with one list. An automaton over the lower-cased names
// finds every occurrence of every name in one pass over a text; only the names that occur then go through
// the marking rules, in the list's order, so that the result is the same as searching each name in turn.
class TopicMarker {
public:
    explicit TopicMarker(const std::vector<TopicLink>& links);

    void mark(std::string& text) const;

private:
    struct Occurrence {
        std::uint32_t link;
        std::uint32_t start;
    };

    // The transition table holds states in 16 bits while they fit, halving the memory that every byte of a
    // journal looks up.
    static constexpr std::size_t NarrowStates = 0xFFFF;
    template <typename State>
    void build(const std::vector<TopicLink>& links, std::size_t states, std::vector<State>& transitions);
    template <typename State>
    void walk(const std::vector<State>& transitions, std::string_view text,
              std::vector<Occurrence>& found) const;
    void findOccurrences(std::string_view text, std::vector<Occurrence>& found) const;

    std::vector<std::uint32_t> lengths_; // of each link's name
    std::uint16_t classes_[256] = {};    // byte -> column of the transition table, as folded; 0: in no name
    std::size_t classCount_ = 1;
    // state * classCount_ + class -> state, in one of the two
    std::vector<std::uint16_t> narrow_;
    std::vector<std::uint32_t> wide_;
    std::vector<std::int32_t> outputLink_; // a link whose name ends at the state, or -1
    std::vector<std::int32_t> nextOutput_; // the next state down the suffix chain that has an output, or -1
    std::vector<std::int32_t> sameName_;   // link -> the next link with the same name, or -1
};

} // namespace orvella
