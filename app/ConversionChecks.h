#pragma once

#include "game/GameInstallation.h"
#include "game/SaveInfo.h"
#include "platform/MessageBoxes.h"

namespace orvella {

// Whether the installed files allow this save's conversion. The first missing file that the conversion
// needs is reported as an error and stops it; an English save using an expansion whose translation plugin
// is missing only gets a warning, since the job then converts it as if that expansion were not installed.
bool checkConversionPrerequisites(WindowRef owner, const SaveInfo& save, const GameInstallation& installation,
                                  MessageBoxes& messages);

} // namespace orvella
