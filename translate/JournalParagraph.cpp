#include "translate/JournalParagraph.h"

#include "job/JobState.h"
#include "translate/TopicLinks.h"

namespace orvella {

namespace {

constexpr std::string_view Placeholder = "%Name";

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
    // The anchor starts past the placeholder and the one character that always follows it.
    const std::size_t anchorStart = placeholder + Placeholder.size() + 1;
    if (anchorStart > candidate.size() || placeholder > paragraph.size())
        return std::nullopt;
    std::size_t anchorEnd = candidate.find(Placeholder, anchorStart);
    if (anchorEnd == std::string::npos)
        anchorEnd = candidate.size();
    std::string_view anchor = std::string_view(candidate).substr(anchorStart, anchorEnd - anchorStart);
    std::size_t found = paragraph.find(anchor);
    if (found == std::string_view::npos)
        return std::nullopt;
    std::string name(found > placeholder ? paragraph.substr(placeholder, found - placeholder - 1)
                                         : paragraph.substr(placeholder));
    replaceAll(candidate, Placeholder, name);
    return name;
}

std::optional<std::string> translateJournalParagraph(std::string_view paragraph, const JobState& state) {
    const std::string stripped = withoutLinkMarks(paragraph);
    const bool toItalian = state.direction() == EnglishToItalian;
    const auto& links = toItalian ? state.names.italianTopicLinks : state.names.englishTopicLinks;
    std::string candidate;
    for (const auto& [id, record] : state.maps.journalEntryMap) {
        const Subrecord* translation = record->translation();
        std::optional<std::string_view> english = record->findText("NAME");
        if (!translation || !english)
            continue;
        const std::string_view italian = translation->text();
        const std::string_view source = toItalian ? *english : italian;
        const std::string_view target = toItalian ? italian : *english;
        std::string name;
        const std::size_t placeholder = source.find(Placeholder);
        if (placeholder == std::string_view::npos) {
            if (source != stripped)
                continue;
        } else {
            // The text before the placeholder is never changed, so a different start rules the entry out.
            if (source.substr(0, placeholder) != std::string_view(stripped).substr(0, placeholder))
                continue;
            candidate.assign(source);
            if (auto resolved = resolvePlayerName(candidate, placeholder, stripped))
                name = std::move(*resolved);
            if (candidate != stripped)
                continue;
        }
        std::string result(target);
        replaceAll(result, Placeholder, name);
        insertTopicLinks(result, links);
        return result;
    }
    return std::nullopt;
}

} // namespace orvella
