#pragma once

#include "game/GameInstallation.h"
#include "game/SaveInfo.h"
#include "platform/FileSystem.h"

#include <optional>
#include <string>

namespace orvella {

// Tells what a save in "Saves" is made with, or nothing when it is not a save that can be listed.
using SaveClassifier = std::optional<SaveInfo> (*)(FileSystem& files, const GameInstallation& installation,
                                                   const std::string& fileName);

// The save chosen for a conversion: its file name inside "Saves" and a copy of its SaveInfo.
struct PatchRequest {
    std::string saveFileName;
    SaveInfo saveInfo;
    // How the saveInfo was read from the save when it was chosen: the job, once it holds the save, reads it
    // again and converts it only if it still says the same, since another program may have converted it
    // meanwhile. Null when the saveInfo is to be trusted.
    SaveClassifier classifyAgain = nullptr;
};

} // namespace orvella
