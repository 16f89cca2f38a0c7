#pragma once

#include "scan/ScanContext.h"

#include <cstdint>

namespace orvella {

bool scanGameSetting(ScanContext& context, std::int32_t& remaining);
bool scanDialogue(ScanContext& context, std::int32_t& remaining);
bool scanNpc(ScanContext& context, std::int32_t& remaining);
bool scanItem(ScanContext& context, std::int32_t& remaining);
bool skipCreature(ScanContext& context, std::int32_t& remaining);

} // namespace orvella
