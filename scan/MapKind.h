#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace orvella {

// The translation map that a scanned record belongs in. A new kind is one line here: every map, its chunks,
// its merge and its release are indexed by kind.
enum class MapKind : std::uint8_t {
    Gmst,
    Npc,
    Item,
    JournalTopic,
    JournalEntry,
    // The names that OpenMW's journal puts in its texts: creatures', races', classes' and factions', and the
    // ranks of each faction, each its own entry.
    Creature,
    Race,
    Class,
    Faction,
    Rank,
};
inline constexpr std::size_t MapKindCount = 10; // of the kinds above

inline constexpr std::size_t indexOf(MapKind kind) {
    return static_cast<std::size_t>(kind);
}

// Every kind, in the order of the enumeration.
inline constexpr std::array<MapKind, MapKindCount> AllMapKinds = [] {
    std::array<MapKind, MapKindCount> kinds{};
    for (std::size_t i = 0; i < MapKindCount; ++i)
        kinds[i] = static_cast<MapKind>(i);
    return kinds;
}();

} // namespace orvella
