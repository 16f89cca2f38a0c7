#pragma once

#include "records/RecordStream.h"
#include "scan/MapKind.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orvella {

// Whether a map's records keep a subrecord: their ID and the texts that a conversion reads. The rest (an
// NPC's inventory and AI, an item's model) would only be copied and let go, in thousands of records.
inline bool keptInMap(MapKind kind, const Tag& tag) {
    constexpr std::uint32_t Name = Tag::keyOf("NAME"), FullName = Tag::keyOf("FNAM"),
                            Value = Tag::keyOf("STRV"), Id = Tag::keyOf("INAM"), Quest = Tag::keyOf("QSTN"),
                            RankName = Tag::keyOf("RNAM");
    const std::uint32_t key = tag.key();
    switch (kind) {
    case MapKind::Gmst:
        return key == Name || key == Value;
    case MapKind::Npc:
    case MapKind::Item:
    case MapKind::Creature:
    case MapKind::Race:
    case MapKind::Class:
    case MapKind::Faction:
        return key == Name || key == FullName;
    case MapKind::Rank:
        return key == RankName;
    case MapKind::JournalTopic:
        return key == Name;
    case MapKind::JournalEntry:
        break;
    }
    return key == Id || key == Name || key == Quest;
}

// Where a pass keeps the records that its handlers read: the first record under an ID, as far as its map
// keeps it, and the text of the subrecord textTag of every record (none when textTag is empty).
class RecordKeeper {
public:
    virtual ~RecordKeeper() = default;
    virtual void keep(MapKind kind, std::string_view key, const RecordView& record,
                      std::string_view textTag) = 0;
};

} // namespace orvella
