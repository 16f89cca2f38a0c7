#include "translate/JournalParagraph.h"

#include "translate/TopicLinks.h"

#include <algorithm>

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

namespace {

constexpr std::size_t KeyBytes = 4;

std::uint32_t keyOf(std::string_view fourBytes) {
    std::uint32_t key = 0;
    for (char c : fourBytes)
        key = key << 8 | static_cast<unsigned char>(c);
    return key;
}

} // namespace

JournalTranslator::JournalTranslator(const ConversionContext& context)
    : marker_(context.direction == EnglishToItalian ? context.names.italianTopicLinks
                                                    : context.names.englishTopicLinks) {
    const bool toItalian = context.direction == EnglishToItalian;
    for (const auto& [id, record] : context.maps.journalEntryMap) {
        const Subrecord* translation = record->translation();
        std::optional<std::string_view> english = record->findText("NAME");
        if (!translation || !english)
            continue;
        Entry entry;
        entry.source = toItalian ? *english : translation->text();
        entry.target = toItalian ? translation->text() : *english;
        entry.placeholder = entry.source.find(Placeholder);
        const auto index = static_cast<std::uint32_t>(entries_.size());
        if (entry.placeholder == std::string_view::npos) {
            // The first entry in key order keeps the text.
            exact_.emplace(entry.source, index);
            entries_.push_back(entry);
            continue;
        }
        std::size_t last = entry.placeholder;
        for (std::size_t at = entry.placeholder; at != std::string_view::npos;
             at = entry.source.find(Placeholder, at + Placeholder.size())) {
            ++entry.placeholders;
            last = at;
        }
        entry.suffix = entry.source.size() - last - Placeholder.size();
        entry.fixedLength = entry.source.size() - entry.placeholders * Placeholder.size();
        if (entry.placeholder >= KeyBytes)
            byFirstBytes_[keyOf(entry.source.substr(0, KeyBytes))].push_back(index);
        else if (entry.suffix >= KeyBytes)
            byLastBytes_[keyOf(entry.source.substr(entry.source.size() - KeyBytes))].push_back(index);
        else
            others_.push_back(index);
        entries_.push_back(entry);
    }
}

// What any text made from the entry by filling its placeholders with one name has: the entry's start and
// end, and a length that the placeholders share out evenly.
bool JournalTranslator::couldMatch(const Entry& entry, std::string_view text) const {
    if (text.size() < entry.fixedLength || (text.size() - entry.fixedLength) % entry.placeholders != 0)
        return false;
    return text.substr(0, entry.placeholder) == entry.source.substr(0, entry.placeholder) &&
           text.substr(text.size() - entry.suffix) == entry.source.substr(entry.source.size() - entry.suffix);
}

std::optional<std::string> JournalTranslator::finish(const Entry& entry, const std::string& name) const {
    std::string result(entry.target);
    replaceAll(result, Placeholder, name);
    marker_.mark(result);
    return result;
}

std::optional<std::string> JournalTranslator::translate(std::string_view paragraph) const {
    const std::string stripped = withoutLinkMarks(paragraph);
    auto exact = exact_.find(stripped);
    const std::uint32_t exactIndex = exact == exact_.end() ? UINT32_MAX : exact->second;

    // The placeholder entries that could come before the exact match, in key order.
    std::vector<std::uint32_t> candidates;
    auto gather = [&](const std::vector<std::uint32_t>& indices) {
        for (std::uint32_t index : indices) {
            if (index >= exactIndex)
                break;
            if (couldMatch(entries_[index], stripped))
                candidates.push_back(index);
        }
    };
    if (stripped.size() >= KeyBytes) {
        if (auto found = byFirstBytes_.find(keyOf(std::string_view(stripped).substr(0, KeyBytes)));
            found != byFirstBytes_.end())
            gather(found->second);
        if (auto found =
                byLastBytes_.find(keyOf(std::string_view(stripped).substr(stripped.size() - KeyBytes)));
            found != byLastBytes_.end())
            gather(found->second);
    }
    gather(others_);
    std::sort(candidates.begin(), candidates.end());

    std::string candidate;
    for (std::uint32_t index : candidates) {
        const Entry& entry = entries_[index];
        candidate.assign(entry.source);
        std::string name;
        if (auto resolved = resolvePlayerName(candidate, entry.placeholder, stripped))
            name = std::move(*resolved);
        if (candidate == stripped)
            return finish(entry, name);
    }
    if (exact != exact_.end())
        return finish(entries_[exactIndex], {});
    return std::nullopt;
}

} // namespace orvella
