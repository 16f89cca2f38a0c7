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

    // The game's mark ("T", "B"): an Italian save's use of the game's plugin, any other save's of its master.
    bool marked(Game game) const {
        const UsedGame& used = saveInfo.used(game);
        return saveInfo.direction == ItalianToEnglish ? used.plugin : used.master;
    }
};

// The saves of installPath + "\\Saves\\", top row first. Every save goes to the top as it is listed, so
// the rows come in the reverse of the listing order; folders and files that are not saves are left out,
// and a folder that cannot be listed gives no rows. When interrupted is given, it tells whether the
// listing broke off on a read error (the rows then hold the saves listed before it).
std::vector<SaveListRow> buildSaveList(FileSystem& files, const GameInstallation& installation,
                                       bool* interrupted = nullptr);

} // namespace orvella
