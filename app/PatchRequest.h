#pragma once

#include "game/SaveInfo.h"

#include <string>

namespace orvella {

// The save chosen for a conversion: its file name inside "Saves" and a copy of its SaveInfo.
struct PatchRequest {
    std::string saveFileName;
    SaveInfo saveInfo;
    // The saveInfo was read from the save when it was chosen: the job, once it holds the save, reads it again
    // and converts it only if it still says the same, since another program may have converted it meanwhile.
    bool verifySaveInfo = false;
};

} // namespace orvella
