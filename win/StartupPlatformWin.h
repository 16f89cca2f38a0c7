#pragma once

#include "platform/StartupPlatform.h"

namespace orvella {

// Start-up's platform on Windows: windows, common controls, libraries, the registry, the folder picker and
// version resources.
StartupPlatform& win32StartupPlatform();

} // namespace orvella
