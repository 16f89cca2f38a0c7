#include "translate/TopicLinks.h"

#include "game/AsciiFold.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace orvella {

namespace {

// Blanks include line breaks, so a topic at the start of a paragraph's continuation line is marked too.
bool opensLink(char before) {
    return before == ' ' || before == '\t' || before == '\r' || before == '\n' || before == '"' ||
           before == ')' || before == '\'';
}

// The search itself, on texts that are already folded.
TopicMatch findFolded(std::string_view foldedText, std::size_t searchStart, std::string_view foldedName) {
    if (searchStart > foldedText.size())
        return {};
    std::size_t q = foldedText.find(foldedName, searchStart);
    if (q == std::string_view::npos)
        return {};
    return {q == searchStart || opensLink(foldedText[q - 1]), q};
}

// A name with marks of its own would be found again inside the marks put around it.
bool canBeMarked(std::string_view name) {
    return !name.empty() && name.find('@') == std::string_view::npos &&
           name.find('#') == std::string_view::npos;
}

// The states of the trie of the names that can be marked, folded: the root and one per distinct prefix.
std::size_t trieStates(const std::vector<TopicLink>& links) {
    std::vector<std::string> names;
    names.reserve(links.size());
    for (const TopicLink& link : links)
        if (canBeMarked(link.from))
            foldAsciiInto(link.from, names.emplace_back());
    std::sort(names.begin(), names.end());
    std::size_t states = 1;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::size_t shared = 0;
        if (i > 0)
            while (shared < names[i].size() && shared < names[i - 1].size() &&
                   names[i][shared] == names[i - 1][shared])
                ++shared;
        states += names[i].size() - shared;
    }
    return states;
}

} // namespace

TopicMatch findTopic(std::string_view text, std::size_t searchStart, std::string_view name) {
    std::string foldedText;
    std::string foldedName;
    foldAsciiInto(text, foldedText);
    foldAsciiInto(name, foldedName);
    return findFolded(foldedText, searchStart, foldedName);
}

bool isInsideLink(std::string_view text, std::size_t searchStart, std::size_t position) {
    for (std::size_t i = std::min(position, text.size()); i > searchStart; --i) {
        if (text[i - 1] == '#')
            return false;
        if (text[i - 1] == '@')
            return true;
    }
    return false;
}

void insertTopicLinks(std::string& text, const std::vector<TopicLink>& links) {
    TopicMarker(links).mark(text);
}

TopicMarker::TopicMarker(const std::vector<TopicLink>& links)
    : lengths_(links.size()), sameName_(links.size(), -1) {
    for (const TopicLink& link : links)
        if (canBeMarked(link.from))
            for (char c : link.from)
                if (std::uint16_t& column = classes_[static_cast<unsigned char>(foldAscii(c))]; column == 0)
                    column = static_cast<std::uint16_t>(classCount_++);
    for (std::size_t i = 0; i < links.size(); ++i)
        lengths_[i] = static_cast<std::uint32_t>(links[i].from.size());
    // Upper-case letters take the column of their lower case, so that a walk folds nothing.
    for (int c = 'A'; c <= 'Z'; ++c)
        classes_[c] = classes_[c - 'A' + 'a'];
    const std::size_t states = trieStates(links);
    if (states < NarrowStates)
        build(links, states, narrow_);
    else
        build(links, states, wide_);
}

template <typename State>
void TopicMarker::build(const std::vector<TopicLink>& links, std::size_t states,
                        std::vector<State>& transitions) {
    // The trie of the folded names; None where it has no edge yet. Its table is the largest memory a
    // conversion takes at once, so it is sized exactly: a state per distinct prefix of the names.
    constexpr State None = std::numeric_limits<State>::max();
    transitions.reserve(states * classCount_);
    outputLink_.reserve(states);
    auto addState = [&] {
        transitions.resize(transitions.size() + classCount_, None);
        outputLink_.push_back(-1);
        return static_cast<State>(outputLink_.size() - 1);
    };
    addState();
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (!canBeMarked(links[i].from))
            continue;
        State state = 0;
        for (char c : links[i].from) {
            const std::size_t edge = static_cast<std::size_t>(state) * classCount_ +
                                     classes_[static_cast<unsigned char>(foldAscii(c))];
            if (transitions[edge] == None) {
                const State added = addState();
                transitions[edge] = added;
            }
            state = transitions[edge];
        }
        // A name listed twice ends in the same state; the links are chained in list order.
        std::int32_t* last = &outputLink_[static_cast<std::size_t>(state)];
        while (*last >= 0)
            last = &sameName_[static_cast<std::size_t>(*last)];
        *last = static_cast<std::int32_t>(i);
    }

    // Breadth first: every missing edge becomes the edge of the longest proper suffix, so the automaton
    // reads each byte of a text once.
    const std::size_t stateCount = outputLink_.size();
    std::vector<State> failure(stateCount, 0);
    nextOutput_.assign(stateCount, -1);
    std::vector<State> queue;
    queue.reserve(stateCount);
    for (std::size_t column = 0; column < classCount_; ++column) {
        State& target = transitions[column];
        if (target == None)
            target = 0;
        else
            queue.push_back(target);
    }
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const auto state = static_cast<std::size_t>(queue[head]);
        const auto fallback = static_cast<std::size_t>(failure[state]);
        for (std::size_t column = 0; column < classCount_; ++column) {
            State& target = transitions[state * classCount_ + column];
            const State viaFallback = transitions[fallback * classCount_ + column];
            if (target == None) {
                target = viaFallback;
                continue;
            }
            const auto next = static_cast<std::size_t>(target);
            failure[next] = viaFallback;
            const auto suffix = static_cast<std::size_t>(viaFallback);
            nextOutput_[next] =
                outputLink_[suffix] >= 0 ? static_cast<std::int32_t>(viaFallback) : nextOutput_[suffix];
            queue.push_back(target);
        }
    }
}

template <typename State>
void TopicMarker::walk(const std::vector<State>& transitions, std::string_view text,
                       std::vector<Occurrence>& found) const {
    std::size_t state = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t column = classes_[static_cast<unsigned char>(text[i])];
        state = transitions[state * classCount_ + column];
        std::int32_t output = outputLink_[state] >= 0 ? static_cast<std::int32_t>(state) : nextOutput_[state];
        for (; output >= 0; output = nextOutput_[static_cast<std::size_t>(output)])
            for (std::int32_t link = outputLink_[static_cast<std::size_t>(output)]; link >= 0;
                 link = sameName_[static_cast<std::size_t>(link)])
                found.push_back(
                    {static_cast<std::uint32_t>(link),
                     static_cast<std::uint32_t>(i + 1 - lengths_[static_cast<std::size_t>(link)])});
    }
}

void TopicMarker::findOccurrences(std::string_view text, std::vector<Occurrence>& found) const {
    if (wide_.empty())
        walk(narrow_, text, found);
    else
        walk(wide_, text, found);
}

void TopicMarker::mark(std::string& text) const {
    if (text == "\n")
        return;
    // Local to the call: thread_local vectors, freed as the journal's second thread ends, corrupted the heap
    // of the Windows build now and then.
    std::vector<Occurrence> found;
    std::vector<std::uint32_t> marks;
    std::vector<std::uint32_t> ownMarks;
    findOccurrences(text, found);
    if (found.empty())
        return;
    std::sort(found.begin(), found.end(), [](const Occurrence& a, const Occurrence& b) {
        return a.link != b.link ? a.link < b.link : a.start < b.start;
    });
    // The marks are decided on the text as found and put in at the end, in one move of each stretch. Each
    // is its place in the text as found, doubled, plus one for an "@": ascending, they are in the order the
    // marked text holds them, where a "#" comes before an "@" put in at the same place. The text's own
    // marks are kept aside, in the same order.
    for (const char mark : {'#', '@'})
        for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + 1))
            ownMarks.push_back(static_cast<std::uint32_t>(at << 1 | (mark == '@' ? 1u : 0u)));
    std::sort(ownMarks.begin(), ownMarks.end());
    auto isOpening = [](std::uint32_t mark) { return (mark & 1) != 0; };
    std::size_t i = 0;
    while (i < found.size()) {
        const std::uint32_t link = found[i].link;
        const std::size_t length = lengths_[link];
        // The search of one name in turn, as insertTopicLinks makes it, visiting only where the name stands.
        // Positions in the marked text are the position as found plus the marks in front of it.
        std::size_t searchStart = 0;
        for (; i < found.size() && found[i].link == link; ++i) {
            const std::uint32_t start = found[i].start;
            const auto after = std::upper_bound(marks.begin(), marks.end(), start << 1 | 1u);
            if (after != marks.end() && (*after >> 1) < start + length)
                continue;
            const std::size_t before = static_cast<std::size_t>(after - marks.begin());
            const std::size_t q = start + before;
            if (q < searchStart)
                continue;
            // The character in front of the name in the marked text is a mark when one was put in there.
            const bool markInFront = before > 0 && (marks[before - 1] >> 1) == start;
            if (q != searchStart && (markInFront || !opensLink(text[start - 1]))) {
                searchStart = q + length;
                continue;
            }
            // Inside a link when the last mark before the name in the marked text is an "@" at or after the
            // search start: the last mark put in before it, or the text's own last mark before it when that
            // stands later.
            bool inside = false;
            if (before > 0) {
                const std::uint32_t last = marks[before - 1];
                inside = isOpening(last) && (last >> 1) + before - 1 >= searchStart;
            }
            if (start > 0) {
                const auto own = std::upper_bound(ownMarks.begin(), ownMarks.end(), (start - 1) << 1 | 1u);
                if (own != ownMarks.begin() && (before == 0 || (own[-1] >> 1) >= (marks[before - 1] >> 1)))
                    inside = isOpening(own[-1]) && (own[-1] >> 1) + before >= searchStart;
            }
            if (!inside) {
                marks.insert(after, start << 1 | 1u);
                const std::uint32_t end = static_cast<std::uint32_t>(start + length) << 1;
                marks.insert(std::upper_bound(marks.begin(), marks.end(), end), end);
            }
            searchStart = q + length + 1;
        }
    }
    if (marks.empty())
        return;
    // From the end, each stretch of the text moved once to its place, its mark in front of it.
    std::size_t end = text.size();
    text.resize(text.size() + marks.size());
    char* bytes = text.data();
    std::size_t to = text.size();
    for (std::size_t k = marks.size(); k-- > 0;) {
        const std::size_t at = marks[k] >> 1;
        to -= end - at;
        std::memmove(bytes + to, bytes + at, end - at);
        bytes[--to] = isOpening(marks[k]) ? '@' : '#';
        end = at;
    }
}

} // namespace orvella
