#pragma once

#include <cstdint>

namespace orvella {

// The engine whose saves a conversion reads: the original game's ".ess" files in its "Saves" folder, or
// OpenMW's ".omwsave" files in a folder for each character.
enum class SaveKind : std::uint8_t {
    Ess,
    OpenMw,
};

} // namespace orvella
