#include "literaljournal/LiteralJournal.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace orvella::literal {

namespace {

const std::string Placeholder = "%Name";

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// Every occurrence of from, read left to right, replaced by to; the replacement is not searched again.
void replaceEvery(std::string& text, const std::string& from, const std::string& to) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, from.size(), from) == 0) {
            out += to;
            i += from.size();
        } else {
            out += text[i++];
        }
    }
    text = out;
}

// The "%d" of formatted input: blanks, a sign and digits, read by the C library; a number that does not fit
// an int is no number.
bool readNumber(const char*& at, int& value) {
    char* end = nullptr;
    errno = 0;
    const long long number = std::strtoll(at, &end, 10);
    if (end == at || errno == ERANGE || number < INT_MIN || number > INT_MAX)
        return false;
    value = static_cast<int>(number);
    at = end;
    return true;
}

// The heading line rewritten by the direction's scan pattern "%d %[^(](Day %d" (or "(Giorno") applied after
// its first ">", with at most 63 characters of month text, and its output format; copied with its line feed
// when the pattern does not fit or the month is unknown.
void appendHeading(std::string& output, std::string_view line, ConversionDirection direction,
                   const NameMap& monthNames) {
    const std::size_t close = line.find('>');
    const std::string rest(close == std::string_view::npos ? "" : line.substr(close + 1));
    const char* at = rest.c_str();
    const char* dayWord = direction == EnglishToItalian ? "(Day" : "(Giorno";
    int dayOfMonth = 0;
    int dayNumber = 0;
    bool scanned = close != std::string_view::npos && readNumber(at, dayOfMonth);
    while (scanned && std::isspace(static_cast<unsigned char>(*at)))
        ++at;
    const char* monthStart = at;
    while (scanned && *at != '\0' && *at != '(')
        ++at;
    const std::size_t monthLength = static_cast<std::size_t>(at - monthStart);
    scanned = scanned && monthLength >= 1 && monthLength <= 63 &&
              std::strncmp(at, dayWord, std::strlen(dayWord)) == 0;
    if (scanned) {
        at += std::strlen(dayWord);
        scanned = readNumber(at, dayNumber);
    }
    // The month text ends with the blank before "(", which is not part of the name.
    const auto month = scanned ? monthNames.find(std::string(monthStart, monthLength - 1)) : monthNames.end();
    if (month == monthNames.end()) {
        output += line;
        output += '\n';
        return;
    }
    const char* format = direction == EnglishToItalian
                             ? "<FONT COLOR=\"9F0000\">%d %s (Giorno %d)</FONT><BR>\n"
                             : "<FONT COLOR=\"9F0000\">%d %s (Day %d)</FONT><BR>\n";
    std::string heading(std::snprintf(nullptr, 0, format, dayOfMonth, month->second.c_str(), dayNumber),
                        '\0');
    std::snprintf(heading.data(), heading.size() + 1, format, dayOfMonth, month->second.c_str(), dayNumber);
    output += heading;
}

// The text up to its first NUL, as the game's texts are read.
std::string textOf(const Subrecord& subrecord) {
    return std::string(subrecord.text());
}

} // namespace

Found findTopic(const std::string& text, std::size_t searchStart, std::string_view name) {
    if (searchStart > text.size())
        return {};
    const std::string lowerText = lowerCase(std::string_view(text).substr(searchStart));
    const std::string lowerName = lowerCase(name);
    const std::size_t found = lowerText.find(lowerName);
    if (found == std::string::npos)
        return {};
    const std::size_t q = searchStart + found;
    if (q == searchStart)
        return {true, q};
    // The blanks (space, tab, carriage return, line feed), the double quote, ")" and the apostrophe.
    const std::string_view opening = " \t\r\n\")'";
    return {opening.find(text[q - 1]) != std::string_view::npos, q};
}

bool isInsideLink(const std::string& text, std::size_t searchStart, std::size_t position) {
    std::size_t i = position;
    while (i > searchStart) {
        --i;
        if (text[i] == '#')
            return false;
        if (text[i] == '@')
            return true;
    }
    return false;
}

void insertTopicLinks(std::string& text, const std::vector<TopicLink>& links) {
    if (text == "\n")
        return;
    std::string work = text;
    std::size_t searchStart = 0;
    std::size_t i = 0;
    while (i < links.size()) {
        const std::string_view name = links[i].from;
        if (name.empty() || name.find('@') != std::string_view::npos ||
            name.find('#') != std::string_view::npos) {
            ++i;
            continue;
        }
        const Found found = findTopic(work, searchStart, name);
        if (found.position == std::string::npos) {
            ++i;
            searchStart = 0;
        } else if (!found.accepted) {
            searchStart = found.position + name.size();
        } else if (!isInsideLink(work, searchStart, found.position)) {
            work.insert(found.position, 1, '@');
            work.insert(found.position + 1 + name.size(), 1, '#');
            searchStart = found.position + name.size() + 1;
        } else {
            searchStart = found.position + name.size() + 1;
        }
    }
    text = work;
}

std::string resolvePlayerName(std::string& candidate, std::size_t placeholder, const std::string& paragraph) {
    const std::size_t p = placeholder;
    std::string name;
    bool nameRead = false;
    if (candidate.size() == p + 6) {
        // "%Name" and then one character, the last of the candidate: the name is the paragraph from p up to
        // its last character, when the paragraph is longer than p and ends with that character.
        if (paragraph.size() > p && paragraph[paragraph.size() - 1] == candidate[candidate.size() - 1]) {
            name = paragraph.substr(p, paragraph.size() - p - 1);
            nameRead = true;
        }
    } else {
        // The anchor: from six characters after p to the next "%Name" or the candidate's end; empty when the
        // candidate ends before that.
        std::string anchor;
        if (p + 6 <= candidate.size()) {
            anchor = candidate.substr(p + 6);
            const std::size_t next = anchor.find(Placeholder);
            if (next != std::string::npos)
                anchor = anchor.substr(0, next);
        }
        // An empty anchor is found at 0.
        const std::size_t r = anchor.empty() ? 0 : paragraph.find(anchor);
        if (r != std::string::npos && p <= paragraph.size()) {
            if (r > p)
                name = paragraph.substr(p, r - p - 1);
            else
                name = paragraph.substr(p);
            nameRead = true;
        }
    }
    if (nameRead)
        replaceEvery(candidate, Placeholder, name);
    return name;
}

std::optional<std::string> translateParagraph(std::string_view paragraph, const TranslationMap& entries,
                                              ConversionDirection direction,
                                              const std::vector<TopicLink>& links) {
    std::string stripped;
    for (char c : paragraph)
        if (c != '@' && c != '#')
            stripped += c;
    for (const auto& entry : entries) {
        const TranslatedRecord& record = *entry.second;
        const Subrecord* translation = record.translation();
        const Subrecord* name = record.findSubrecord("NAME");
        if (!translation || !name)
            continue;
        const std::string english = textOf(*name);
        const std::string italian = textOf(*translation);
        std::string candidate = direction == EnglishToItalian ? english : italian;
        std::string counterpart = direction == EnglishToItalian ? italian : english;
        std::string playerName;
        const std::size_t placeholder = candidate.find(Placeholder);
        if (placeholder != std::string::npos)
            playerName = resolvePlayerName(candidate, placeholder, stripped);
        if (candidate != stripped)
            continue;
        replaceEvery(counterpart, Placeholder, playerName);
        insertTopicLinks(counterpart, links);
        return counterpart;
    }
    return std::nullopt;
}

JournalOutput translateJournal(std::string_view journal, const TranslationMap& entries,
                               ConversionDirection direction, const NameMaps& names) {
    const std::string_view text = journal.substr(0, journal.find('\0'));
    const auto& links = direction == EnglishToItalian ? names.italianTopicLinks : names.englishTopicLinks;
    struct Line {
        std::size_t begin;
        std::size_t end;
    };
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > start)
            lines.push_back({start, end});
        start = end + 1;
    }

    JournalOutput output;
    auto untranslated = [&output](std::string_view paragraph) {
        ++output.untranslated;
        output.log += "--- ";
        output.log += paragraph;
        output.log += "\n\n";
    };
    std::size_t i = 0;
    while (i < lines.size()) {
        appendHeading(output.text, text.substr(lines[i].begin, lines[i].end - lines[i].begin), direction,
                      names.monthNameMap);
        if (i + 1 >= lines.size())
            break;
        std::size_t last = i + 1;
        while (last + 1 < lines.size() && text[lines[last + 1].begin] != '<')
            ++last;
        const std::string_view paragraph =
            text.substr(lines[i + 1].begin, lines[last].end - lines[i + 1].begin);
        if (paragraph.size() < 3 || paragraph.substr(paragraph.size() - 3) != "<P>") {
            untranslated(paragraph);
            output.text += paragraph;
            output.text += '\n';
        } else {
            const std::string_view body = paragraph.substr(0, paragraph.size() - 3);
            if (auto translated = translateParagraph(body, entries, direction, links)) {
                output.text += *translated;
            } else {
                untranslated(body);
                output.text += body;
            }
            output.text += "<P>\n";
        }
        i = last + 1;
    }
    return output;
}

} // namespace orvella::literal
