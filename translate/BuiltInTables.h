#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace orvella {

// One row of a topic table: the same topic's English and Italian names.
struct TopicRow {
    std::string_view english;
    std::string_view italian;
};

// One built-in journal entry: the quest it belongs to, its English text and its Italian translation.
struct JournalFixRow {
    std::string_view questId;
    std::string_view english;
    std::string_view italian;
};

// The tables in use; their texts stay valid for the whole run.
struct TopicTables {
    std::span<const TopicRow> base;
    std::span<const TopicRow> tribunal;
    std::span<const TopicRow> bloodmoon;
    std::span<const JournalFixRow> journalFixes;
};

// The tables compiled into the program.
const TopicTables& builtInTables();
// The bytes of a table file as the build embedded them.
std::string_view embeddedTableFile(const char* fileName);

} // namespace orvella
