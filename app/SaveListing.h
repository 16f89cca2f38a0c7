#pragma once

#include "app/SaveList.h"
#include "game/GameInstallation.h"
#include "platform/FileSystem.h"

#include <functional>
#include <vector>

namespace orvella {

// One reading of the "Saves" folder for the save list: the rows, top row first, and whether reading the
// folder failed after it had begun (the rows then hold what was read before the failure).
struct SaveListing {
    std::vector<SaveListRow> rows;
    bool readFailed = false;
};

using SaveListSource = std::function<SaveListing(FileSystem&, const GameInstallation&)>;

// The save list of the folder; readFailed when the platform's listing broke off on a read error.
SaveListing readSaveListing(FileSystem& files, const GameInstallation& installation);

} // namespace orvella
