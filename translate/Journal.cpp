#include "game/UserTexts.h"
#include "translate/JournalHeadings.h"
#include "translate/JournalParagraph.h"
#include "translate/SaveHandlers.h"

#include <optional>
#include <string>
#include <string_view>

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

std::string translateJournal(ConversionContext& context, std::string_view text) {
    const JournalTranslator translator(context);
    std::string output;
    output.reserve(text.size() + text.size() / 4);
    std::optional<Line> heading = nextLine(text, 0);
    while (heading) {
        appendHeading(output, text.substr(heading->begin, heading->end - heading->begin), context.direction,
                      context.names.monthNameMap);
        std::optional<Line> first = nextLine(text, heading->end + 1);
        if (!first)
            break;
        // The paragraph runs on until the next line that begins with "<", with its line feeds as they stand.
        Line last = *first;
        for (auto next = nextLine(text, last.end + 1); next && text[next->begin] != '<';
             next = nextLine(text, last.end + 1))
            last = *next;
        appendParagraph(context.log, translator, text.substr(first->begin, last.end - first->begin), output);
        heading = nextLine(text, last.end + 1);
        if (heading)
            tellProgress(context, static_cast<std::uint32_t>(heading->begin),
                         static_cast<std::uint32_t>(text.size()));
    }
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
