#pragma once

#include "game/SaveInfo.h"
#include "scan/TranslationMap.h"
#include "translate/NameMaps.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The journal translation written out step by step, the slow way, as the reference that the program's own
// journal code must match byte for byte: every paragraph is compared with every entry in key order, the
// player's name is read again for each entry that holds a placeholder, every topic search works on fresh
// lower-cased copies, and headings are read and written with the C library's number conversions. It holds
// the rules that the simplest reading would get wrong: an entry whose only "%Name" is followed by one last
// character takes the name up to the paragraph's last character, topic names that are empty or hold a link
// mark are never marked, and a text of any length is marked completely.
namespace orvella::literal {

// Where a search found a topic name: whether the character before it opens a link, and its position.
struct Found {
    bool accepted = false;
    std::size_t position = std::string::npos; // npos: not found
};

Found findTopic(const std::string& text, std::size_t searchStart, std::string_view name);
bool isInsideLink(const std::string& text, std::size_t searchStart, std::size_t position);
void insertTopicLinks(std::string& text, const std::vector<TopicLink>& links);

// The name read from the paragraph (empty when none could be read); the candidate's placeholders are
// replaced by it when it was read. The placeholder is the position of the candidate's first "%Name".
std::string resolvePlayerName(std::string& candidate, std::size_t placeholder, const std::string& paragraph);

std::optional<std::string> translateParagraph(std::string_view paragraph, const TranslationMap& entries,
                                              ConversionDirection direction,
                                              const std::vector<TopicLink>& links);

// What the journal handler makes of a journal text: the new text (without its NUL) and the log lines of the
// paragraphs that stayed untranslated.
struct JournalOutput {
    std::string text;
    std::string log;
    std::size_t untranslated = 0;
};

JournalOutput translateJournal(std::string_view journal, const TranslationMap& entries,
                               ConversionDirection direction, const NameMaps& names);

} // namespace orvella::literal
