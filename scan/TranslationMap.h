#pragma once

#include "records/ByteChunks.h"
#include "records/TranslatedRecord.h"
#include "scan/MapKind.h"

#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <string>

namespace orvella {

// A map's records take a few megabytes at most; smaller chunks leave less unused at the end of each.
inline constexpr std::size_t MapChunkBytes = std::size_t{256} << 10;

// ID -> record, IDs compared byte by byte as unsigned values; the first record under an ID is kept.
using TranslationMap = std::map<std::string, std::unique_ptr<TranslatedRecord>>;

// The maps filled from the masters and the translation plugins, one of each kind.
struct TranslationMaps {
    TranslationMaps() {
        for (ByteChunks& chunks : bytes)
            chunks = ByteChunks(MapChunkBytes);
    }

    TranslationMap& operator[](MapKind kind) { return maps[indexOf(kind)]; }
    const TranslationMap& operator[](MapKind kind) const { return maps[indexOf(kind)]; }
    // The chunks that the map's records and translations are kept in.
    ByteChunks& bytesOf(MapKind kind) { return bytes[indexOf(kind)]; }

    std::size_t recordCount() const {
        std::size_t count = 0;
        for (const TranslationMap& map : maps)
            count += map.size();
        return count;
    }

    // The bytes of the maps' records and translations, in the order of the maps: each map has chunks of its
    // own, so that threads filling different maps share none, and a record costs no block of its own.
    // Declared first, they outlive the records; a record's destructor never reads the bytes it borrowed, so
    // a release may give them back first.
    std::array<ByteChunks, MapKindCount> bytes;
    std::array<TranslationMap, MapKindCount> maps;
};

} // namespace orvella
