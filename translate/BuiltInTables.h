#pragma once

#include "game/Game.h"

#include <array>
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
    // A topic table that the player supplied as a file is the whole table: nothing is derived for it.
    std::array<bool, GameCount> suppliedAsFile{};

    std::span<const TopicRow> topicRows(Game game) const {
        return game == Game::Base ? base : game == Game::Tribunal ? tribunal : bloodmoon;
    }
};

// The tables compiled into the program.
const TopicTables& builtInTables();
// The bytes of a table file as the build embedded them.
std::string_view embeddedTableFile(const char* fileName);

} // namespace orvella
