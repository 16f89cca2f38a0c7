#pragma once

#include "scan/RecordKeeper.h"
#include "scan/ScanContext.h"
#include "scan/TranslationMap.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace orvella {

// The tag of the Italian text a translation plugin gives a kept record.
inline constexpr std::string_view TranslationTag = "-TR-";

// Keeps the first record of the base game's master met under an ID, copied out of the stream into the map's
// chunks. A later record brings only its text (the subrecord textTag), which overwrites the kept one; nothing
// else of it is copied. The other files' records are held first and merged after (HeldRecords). The map is
// first tried just after at, which is left on the record of the key: a file lists most records of a kind in
// the order of their IDs, so that each usually follows the one before it with no search of the map.
void mergeScannedRecord(TranslationMaps& maps, MapKind kind, TranslationMap::iterator& at,
                        std::string_view key, const RecordView& record, std::string_view textTag);

// Keeps the base game master's records straight in the maps.
class MapKeeper final : public RecordKeeper {
public:
    explicit MapKeeper(TranslationMaps& maps) : maps_(maps) {
        for (std::size_t kind = 0; kind < lastKept_.size(); ++kind)
            lastKept_[kind] = maps.maps[kind].end();
    }
    void keep(MapKind kind, std::string_view key, const RecordView& record,
              std::string_view textTag) override {
        mergeScannedRecord(maps_, kind, lastKept_[indexOf(kind)], key, record, textTag);
    }

private:
    TranslationMaps& maps_;
    std::array<TranslationMap::iterator, MapKindCount> lastKept_; // where each map's latest record went
};

} // namespace orvella
