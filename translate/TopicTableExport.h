#pragma once

#include "game/Game.h"
#include "translate/BuiltInTables.h"
#include "translate/DerivedTopics.h"

#include <cstddef>
#include <string>
#include <vector>

namespace orvella {

// A derived row that a table file cannot hold, and why.
struct LeftOutRow {
    TopicRow row;
    std::string reason;
};

// A topic table written out as a table file, with what went into it.
struct ExportedTable {
    std::vector<TopicRow> rows; // in the table's order
    std::string bytes;
    std::size_t builtIn = 0;
    std::size_t byIds = 0;
    std::size_t byConditions = 0;
    std::vector<LeftOutRow> leftOut;
};

// The table file of one game: its rows in the tables given, then its derived rows, in the order the table
// requires, less the derived rows that would break a rule of table files. An expansion's table is checked
// against the base table as exported, when given.
ExportedTable exportTopicTable(Game game, const TopicTables& tables, const DerivedTopicRows& derived,
                               const ExportedTable* baseTable = nullptr);

} // namespace orvella
