#include "translate/JournalParagraph.h"

#include "translate/TopicLinks.h"

#include <algorithm>

namespace orvella {

namespace {

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::string withoutLinkMarks(std::string_view paragraph) {
    std::string text;
    text.reserve(paragraph.size());
    for (char c : paragraph)
        if (c != '@' && c != '#')
            text += c;
    return text;
}

} // namespace

std::optional<std::string> resolvePlayerName(std::string& candidate, std::size_t placeholder,
                                             std::string_view paragraph) {
    const std::size_t afterPlaceholder = placeholder + Placeholder.size();
    if (afterPlaceholder > candidate.size() || placeholder > paragraph.size())
        return std::nullopt;
    std::string name;
    if (candidate.size() == afterPlaceholder + 1) {
        // Only one character follows the placeholder, so it can only be the paragraph's last one.
        if (paragraph.size() <= placeholder || paragraph.back() != candidate.back())
            return std::nullopt;
        name = paragraph.substr(placeholder, paragraph.size() - 1 - placeholder);
    } else {
        // The anchor starts past the placeholder and the one character that always follows it; a candidate
        // that ends with the placeholder has an empty anchor, found at the paragraph's start.
        const std::size_t anchorStart = std::min(afterPlaceholder + 1, candidate.size());
        std::size_t anchorEnd = candidate.find(Placeholder, anchorStart);
        if (anchorEnd == std::string::npos)
            anchorEnd = candidate.size();
        std::string_view anchor = std::string_view(candidate).substr(anchorStart, anchorEnd - anchorStart);
        std::size_t found = paragraph.find(anchor);
        if (found == std::string_view::npos)
            return std::nullopt;
        name = found > placeholder ? paragraph.substr(placeholder, found - placeholder - 1)
                                   : paragraph.substr(placeholder);
    }
    replaceAll(candidate, Placeholder, name);
    return name;
}

std::optional<std::string> translateJournalParagraph(std::string_view paragraph,
                                                     const ConversionContext& context) {
    return JournalTranslator(context).translate(paragraph);
}

JournalTranslator::JournalTranslator(const ConversionContext& context)
    : JournalTranslator(JournalEntries(context.maps, context.direction),
                        TopicMarker(context.names.targetTopicLinks(context.direction))) {}

JournalTranslator::JournalTranslator(JournalEntries entries, TopicMarker marker)
    : entries_(std::move(entries)), marker_(std::move(marker)) {}

std::optional<std::string> JournalTranslator::translate(std::string_view paragraph) const {
    const std::string stripped = withoutLinkMarks(paragraph);
    std::string name;
    const JournalEntry* entry = entries_.find(stripped, name);
    if (!entry)
        return std::nullopt;
    std::string result(entry->target);
    replaceAll(result, Placeholder, name);
    marker_.mark(result);
    return result;
}

} // namespace orvella
