#pragma once

#include "game/AsciiFold.h"
#include "scan/DialogueViews.h"
#include "translate/NameMaps.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace orvella {

// The names that a response text's words stand for, each with its map from the source language to the
// target one.
enum class NameGroup : std::uint8_t { Name, Race, Class, Faction, Rank };
inline constexpr std::size_t NameGroupCount = 5;

// What a conversion of an OpenMW save works with besides what every conversion does: the save's format,
// the dialogue of both editions, the topic names keyed without regard to ASCII case, the names that response
// texts put in, the player's name, and how far the journal is.
class Record;
struct ConversionContext;

// A journal entry's record translated ahead of the conversion, and whether it was.
struct PreparedJournalEntry {
    const Record* record = nullptr;
    bool translated = false;
};

// The topic names keyed without regard to ASCII case, found by any spelling.
using FoldedNameMap = std::unordered_map<std::string, std::string, FoldedHash, FoldedEqual>;

struct OpenMwConversion {
    std::uint32_t formatVersion = 0;
    const DialogueViews* dialogue = nullptr;
    FoldedNameMap topicNames;
    std::array<NameMap, NameGroupCount> names;
    std::string playerName; // UTF-8, as the save's SAVE record gives it
    std::uint32_t journalEntries = 0;
    std::uint32_t journalEntriesDone = 0;
    // The entries translated ahead, in the order of their records, and the next one the handler meets.
    std::vector<PreparedJournalEntry> preparedEntries;
    std::size_t preparedNext = 0;

    const NameMap& namesOf(NameGroup group) const { return names[static_cast<std::size_t>(group)]; }
};

// The topic name map with its keys folded to ASCII lower case, as OpenMW compares topic names; of keys that
// fold alike, the first in the map's order keeps its pair.
FoldedNameMap foldedTopicNames(const NameMap& topicNameMap);

// Translates a journal entry's record in place as its handler does, and tells whether it was translated; it
// writes no log and tells no progress, and only reads the context, so that entries may be translated ahead
// on more than one thread.
bool translateJournalRecord(Record& record, const ConversionContext& context);

// For each group, the source edition's name of every record of its kinds that has a name in both editions,
// to the target edition's: NPCs' and creatures' names for Name, races', classes' and factions' for the
// others, the ranks of each faction for Rank. A name that two records of the group would take to different
// names is left out.
std::array<NameMap, NameGroupCount> agreedNames(const TranslationMaps& maps, ConversionDirection direction);

} // namespace orvella
