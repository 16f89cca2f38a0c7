#pragma once

#include "game/SaveInfo.h"
#include "translate/NameMaps.h"

#include <optional>
#include <string>
#include <string_view>

namespace orvella {

// What a day heading says: "16 Last Seed (Day 3)" is day of month 16, month "Last Seed", day number 3.
struct JournalHeading {
    int dayOfMonth = 0;
    std::string month; // without the blank in front of "("
    int dayNumber = 0;
};

// Reads a heading's text with the source language's pattern, as formatted input would read
// "%d %[^(](Day %d" (Italian saves: "(Giorno"): an integer, blanks, the month text up to the first "(",
// the word for day, blanks, an integer. Nothing when the text does not match, when a number does not fit,
// or when the month text is longer than 63 characters.
std::optional<JournalHeading> scanHeading(std::string_view text, ConversionDirection direction);

// Appends the heading line in the target language's fixed form when the text after its first ">" scans
// and its month is known; otherwise the line as it stands. Either way the output line ends with a line feed.
void appendHeading(std::string& output, std::string_view line, ConversionDirection direction,
                   const NameMap& monthNames);

} // namespace orvella
