#pragma once

#include "app/GameInstallation.h"
#include "app/SaveList.h"
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

// The save list of the folder. The folder listing ends quietly where the platform stops giving entries,
// so this reading never reports a failure of its own.
SaveListing readSaveListing(FileSystem& files, const GameInstallation& installation);

} // namespace orvella
