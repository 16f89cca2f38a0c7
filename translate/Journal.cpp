#include "game/UserTexts.h"
#include "translate/JournalHeadings.h"
#include "translate/JournalParagraph.h"
#include "translate/SaveHandlers.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace orvella {

namespace {

constexpr std::string_view ParagraphEnd = "<P>";

// One line of the journal text: [begin, end) without its line feed.
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The first non-empty line that starts at or after the offset; empty lines are passed over.
std::optional<Line> nextLine(std::string_view text, std::size_t from) {
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > from)
            return Line{from, end};
        from = end + 1;
    }
    return std::nullopt;
}

void logUntranslated(ConversionLog& log, std::string_view paragraph) {
    log.countUntranslatedParagraph();
    log.write(texts::untranslatedParagraphLines(paragraph));
}

void appendParagraph(ConversionLog& log, const JournalTranslator& translator, std::string_view paragraph,
                     std::string& output) {
    // Text that does not end with "<P>" is not a paragraph as the game writes it: it stays whole, with its
    // line feed and nothing added, so no byte is lost.
    if (!paragraph.ends_with(ParagraphEnd)) {
        logUntranslated(log, paragraph);
        output.append(paragraph);
        output += '\n';
        return;
    }
    const std::string_view body = paragraph.substr(0, paragraph.size() - ParagraphEnd.size());
    if (std::optional<std::string> translated = translator.translate(body)) {
        output += *translated;
    } else {
        logUntranslated(log, body);
        output.append(body);
    }
    output.append(ParagraphEnd);
    output += '\n';
}

void tellProgress(const ConversionContext& context, std::uint32_t done, std::uint32_t total) {
    if (context.journalProgress)
        context.journalProgress(done, total);
}

// One heading of the journal and the paragraph that follows it, which the last heading may lack.
struct JournalPart {
    Line heading;
    std::optional<Line> paragraph;
};

// The journal's headings and paragraphs in order. A paragraph runs on until the next line that begins with
// "<", with its line feeds as they stand.
std::vector<JournalPart> journalParts(std::string_view text) {
    std::vector<JournalPart> parts;
    std::optional<Line> heading = nextLine(text, 0);
    while (heading) {
        JournalPart& part = parts.emplace_back(JournalPart{*heading, nextLine(text, heading->end + 1)});
        if (!part.paragraph)
            break;
        Line& paragraph = *part.paragraph;
        for (auto next = nextLine(text, paragraph.end + 1); next && text[next->begin] != '<';
             next = nextLine(text, paragraph.end + 1))
            paragraph.end = next->end;
        heading = nextLine(text, paragraph.end + 1);
    }
    return parts;
}

// What translating some of the journal's parts gave: the text, and the log's lines and count.
class PartsOutput final : public ConversionLog {
public:
    void write(std::string_view text) override { log.append(text); }

    std::string text;
    std::string log;
};

// Translates the parts into output, telling the journal's progress at each heading after a paragraph.
void translateParts(std::span<const JournalPart> parts, std::string_view text,
                    const ConversionContext& context, const JournalTranslator& translator, ConversionLog& log,
                    std::string& output, const std::function<void(std::size_t)>& told) {
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const JournalPart& part = parts[i];
        appendHeading(output, text.substr(part.heading.begin, part.heading.end - part.heading.begin),
                      context.direction, context.names.monthNameMap);
        if (!part.paragraph)
            break;
        const Line& paragraph = *part.paragraph;
        appendParagraph(log, translator, text.substr(paragraph.begin, paragraph.end - paragraph.begin),
                        output);
        if (i + 1 < parts.size())
            told(parts[i + 1].heading.begin);
    }
}

std::string translateJournal(ConversionContext& context, std::string_view text) {
    std::optional<JournalTranslator> own;
    if (!context.journalTranslator)
        own.emplace(context);
    const JournalTranslator& translator = own ? *own : *context.journalTranslator;
    const std::vector<JournalPart> parts = journalParts(text);
    const auto size = static_cast<std::uint32_t>(text.size());
    // The second half of the parts is translated on a thread of its own, into a text and a log that follow
    // the first half's; its progress is told once the first half is done.
    const auto half = static_cast<std::size_t>(
        std::find_if(parts.begin(), parts.end(),
                     [&](const JournalPart& part) { return part.heading.begin >= text.size() / 2; }) -
        parts.begin());
    const auto first = std::span(parts).first(half), second = std::span(parts).subspan(half);
    PartsOutput later;
    std::vector<std::size_t> laterProgress;
    std::jthread helper([&] {
        later.text.reserve(text.size() - text.size() / 2 + text.size() / 8);
        translateParts(second, text, context, translator, later, later.text,
                       [&](std::size_t at) { laterProgress.push_back(at); });
    });
    std::string output;
    output.reserve(text.size() + text.size() / 4);
    translateParts(first, text, context, translator, context.log, output,
                   [&](std::size_t at) { tellProgress(context, static_cast<std::uint32_t>(at), size); });
    helper.join();
    // The first half's last part, which the second half follows, tells where the second half starts.
    if (!first.empty() && first.back().paragraph && !second.empty())
        tellProgress(context, static_cast<std::uint32_t>(second.front().heading.begin), size);
    for (std::size_t at : laterProgress)
        tellProgress(context, static_cast<std::uint32_t>(at), size);
    output.append(later.text);
    context.log.write(later.log);
    for (std::uint32_t i = 0; i < later.untranslatedJournalCount(); ++i)
        context.log.countUntranslatedParagraph();
    return output;
}

} // namespace

bool patchJournal(Record& record, ConversionContext& context) {
    context.log.startJournal();
    context.log.write(texts::UntranslatedJournalHeading);
    std::uint32_t length = 0;
    if (const Subrecord* name = record.findSubrecord("NAME")) {
        // Saves keep padding or leftovers after the journal's first NUL; the text ends there.
        const std::string_view text = name->text();
        length = static_cast<std::uint32_t>(text.size());
        std::string output = translateJournal(context, text);
        record.replaceSubrecord("NAME", output.c_str(), static_cast<std::uint32_t>(output.size() + 1));
    }
    tellProgress(context, length, length);
    return true;
}

} // namespace orvella
