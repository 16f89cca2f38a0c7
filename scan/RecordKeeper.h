#pragma once

#include "records/RecordStream.h"

#include <cstdint>
#include <string_view>

namespace orvella {

// The translation map that a scan handler's record belongs in.
enum class MapKind : std::uint8_t {
    Gmst,
    Npc,
    Item,
    JournalTopic,
    JournalEntry,
};

// Where a pass keeps the records that its handlers read: the first record under an ID, and the text of the
// subrecord textTag of every record (none when textTag is empty).
class RecordKeeper {
public:
    virtual ~RecordKeeper() = default;
    virtual void keep(MapKind kind, std::string_view key, const RecordView& record,
                      std::string_view textTag) = 0;
};

} // namespace orvella
