#pragma once

#include "app/SaveInfo.h"

#include <string>

namespace orvella {

// The save chosen for a conversion: its file name inside "Saves" and a copy of its SaveInfo.
struct PatchRequest {
    std::string saveFileName;
    SaveInfo saveInfo;
};

} // namespace orvella
