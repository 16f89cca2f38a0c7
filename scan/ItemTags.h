#pragma once

#include "records/Tag.h"

#include <array>

namespace orvella {

// The 14 item and spell types: the scan keeps their names, the save registers those it defines itself and
// each gets its name in the other language.
inline constexpr std::array<const char*, 14> ItemTags = {"BOOK", "CONT", "WEAP", "ARMO", "LOCK",
                                                         "PROB", "REPA", "CLOT", "INGR", "LIGH",
                                                         "SPEL", "ALCH", "MISC", "APPA"};

// Compares all four bytes, as the save loop compares item tags.
inline bool isItemTag(const Tag& tag) {
    for (const char* itemTag : ItemTags)
        if (tag.sameBytes(Tag(itemTag)))
            return true;
    return false;
}

} // namespace orvella
