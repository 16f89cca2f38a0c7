#pragma once

#include "platform/MessageBoxes.h"

namespace orvella {

// Message boxes shown with MessageBoxA; the owner of a message is its window handle.
MessageBoxes& win32MessageBoxes();

} // namespace orvella
