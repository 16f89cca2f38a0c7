#pragma once

#include "game/GameInstallation.h"
#include "game/SaveInfo.h"
#include "platform/FileSystem.h"

#include <string>
#include <vector>

namespace orvella {

// One row of the main dialog's save list. The direction (the row's icon) is saveInfo.direction.
struct SaveListRow {
    std::string fileName;
    SaveInfo saveInfo;
    bool tribunalMark = false;  // "T": the Tribunal plugin for Italian saves, the Tribunal master otherwise
    bool bloodmoonMark = false; // "B": the same rule for Bloodmoon
};

// The saves of installPath + "\\Saves\\", top row first. Every save goes to the top as it is listed, so
// the rows come in the reverse of the listing order; folders and files that are not saves are left out,
// and a folder that cannot be listed gives no rows. When interrupted is given, it tells whether the
// listing broke off on a read error (the rows then hold the saves listed before it).
std::vector<SaveListRow> buildSaveList(FileSystem& files, const GameInstallation& installation,
                                       bool* interrupted = nullptr);

} // namespace orvella
