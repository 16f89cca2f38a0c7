#include "translate/JournalHeadings.h"

#include <cstdint>

namespace orvella {

namespace {

constexpr std::size_t MonthTextLimit = 63;

// Formatted input over a bounded text, with the C locale's idea of white space.
class HeadingScanner {
public:
    explicit HeadingScanner(std::string_view text) : text_(text) {}

    void skipBlanks() {
        while (at_ < text_.size() && isBlank(text_[at_]))
            ++at_;
    }

    bool integer(int& value) {
        skipBlanks();
        bool negative = false;
        if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-'))
            negative = text_[at_++] == '-';
        const std::size_t digits = at_;
        std::int64_t magnitude = 0;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
            magnitude = magnitude * 10 + (text_[at_++] - '0');
            if (magnitude > std::int64_t{INT32_MAX} + 1)
                return false;
        }
        if (at_ == digits)
            return false;
        std::int64_t signedValue = negative ? -magnitude : magnitude;
        if (signedValue > INT32_MAX)
            return false;
        value = static_cast<int>(signedValue);
        return true;
    }

    // One or more characters up to, not including, the stop character or the end of the text.
    bool until(char stop, std::string_view& run) {
        const std::size_t start = at_;
        while (at_ < text_.size() && text_[at_] != stop)
            ++at_;
        run = text_.substr(start, at_ - start);
        return !run.empty();
    }

    bool literal(std::string_view expected) {
        if (text_.substr(at_, expected.size()) != expected)
            return false;
        at_ += expected.size();
        return true;
    }

private:
    static bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace

std::optional<JournalHeading> scanHeading(std::string_view text, ConversionDirection direction) {
    HeadingScanner scanner(text);
    JournalHeading heading;
    std::string_view month;
    if (!scanner.integer(heading.dayOfMonth))
        return std::nullopt;
    scanner.skipBlanks();
    if (!scanner.until('(', month) || month.size() > MonthTextLimit)
        return std::nullopt;
    if (!scanner.literal(direction == EnglishToItalian ? "(Day" : "(Giorno"))
        return std::nullopt;
    if (!scanner.integer(heading.dayNumber))
        return std::nullopt;
    // The month text runs up to "(", so it ends with the blank that stands before it.
    heading.month = std::string(month.substr(0, month.size() - 1));
    return heading;
}

void appendHeading(std::string& output, std::string_view line, ConversionDirection direction,
                   const NameMap& monthNames) {
    const std::size_t close = line.find('>');
    std::optional<JournalHeading> heading;
    if (close != std::string_view::npos)
        heading = scanHeading(line.substr(close + 1), direction);
    auto month = heading ? monthNames.find(heading->month) : monthNames.end();
    if (month == monthNames.end()) {
        output.append(line);
        output += '\n';
        return;
    }
    output += "<FONT COLOR=\"9F0000\">";
    output += std::to_string(heading->dayOfMonth);
    output += ' ';
    output += month->second;
    output += direction == EnglishToItalian ? " (Giorno " : " (Day ";
    output += std::to_string(heading->dayNumber);
    output += ")</FONT><BR>\n";
}

} // namespace orvella
