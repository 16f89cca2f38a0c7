#pragma once

#include "scan/ScanContext.h"

#include <cstdint>
#include <map>

namespace orvella {

// Reads its record (and any that belong to it) from the context's stream, lowering remaining by one
// for each record consumed; false when the file is malformed.
using ScanHandler = bool (*)(ScanContext& context, std::int32_t& remaining);
// By Tag::key().
using ScanHandlerMap = std::map<std::uint32_t, ScanHandler>;

bool scanGameSetting(ScanContext& context, std::int32_t& remaining);
bool scanDialogue(ScanContext& context, std::int32_t& remaining);
bool scanNpc(ScanContext& context, std::int32_t& remaining);
bool scanItem(ScanContext& context, std::int32_t& remaining);
bool scanCreature(ScanContext& context, std::int32_t& remaining);
bool scanRace(ScanContext& context, std::int32_t& remaining);
bool scanClass(ScanContext& context, std::int32_t& remaining);
bool scanFaction(ScanContext& context, std::int32_t& remaining);

// The handler of each record type the scan reads for a save of the engine, built at its first use and kept
// for the run; the records of every other type are passed over.
const ScanHandlerMap& scanHandlerMap(SaveKind kind);

} // namespace orvella
