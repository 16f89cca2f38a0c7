#pragma once

#include "records/Tag.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace orvella {

// The 14 item and spell types: the scan keeps their names, the save registers those it defines itself and
// each gets its name in the other language.
inline constexpr std::array<const char*, 14> ItemTags = {"BOOK", "CONT", "WEAP", "ARMO", "LOCK",
                                                         "PROB", "REPA", "CLOT", "INGR", "LIGH",
                                                         "SPEL", "ALCH", "MISC", "APPA"};

// Compares all four bytes, as the save loop compares item tags; the tags as numbers, since every record of
// a save is asked.
inline bool isItemTag(const Tag& tag) {
    static const std::array<std::uint32_t, ItemTags.size()> keys = [] {
        std::array<std::uint32_t, ItemTags.size()> made{};
        for (std::size_t i = 0; i < ItemTags.size(); ++i)
            made[i] = Tag(ItemTags[i]).key();
        return made;
    }();
    const std::uint32_t key = tag.key();
    for (std::uint32_t itemKey : keys)
        if (key == itemKey)
            return true;
    return false;
}

} // namespace orvella
