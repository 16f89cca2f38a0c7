#pragma once

#include "game/GameInstallation.h"
#include "platform/FileSystem.h"

#include <cstdint>
#include <string>

namespace orvella {

// True when the game's data file of that name opens for binary reading; its length in bytes then
// goes to sizeOut when one is given.
bool probeDataFile(FileSystem& files, const GameInstallation& installation, const std::string& fileName,
                   std::uint32_t* sizeOut = nullptr);

} // namespace orvella
