#include "translate/TopicLinks.h"

#include "translate/AsciiFold.h"

#include <algorithm>

namespace orvella {

namespace {

bool opensLink(char before) {
    return before == ' ' || before == '"' || before == ')' || before == '\'';
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

void insertAt(std::string& text, std::string& folded, std::size_t at, char mark) {
    text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), mark);
    folded.insert(folded.begin() + static_cast<std::ptrdiff_t>(at), mark);
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
    if (text == "\n")
        return;
    // The folded copy follows every mark put into the text, so no search folds the text again.
    std::string folded;
    foldAsciiInto(text, folded);
    std::string foldedName;
    for (const TopicLink& link : links) {
        if (!canBeMarked(link.from))
            continue;
        foldAsciiInto(link.from, foldedName);
        const std::size_t length = link.from.size();
        std::size_t searchStart = 0;
        for (;;) {
            TopicMatch match = findFolded(folded, searchStart, foldedName);
            if (!match.position)
                break;
            std::size_t q = *match.position;
            if (!match.accepted) {
                searchStart = q + length;
                continue;
            }
            if (!isInsideLink(folded, searchStart, q)) {
                insertAt(text, folded, q, '@');
                insertAt(text, folded, q + 1 + length, '#');
            }
            searchStart = q + length + 1;
        }
    }
}

} // namespace orvella
