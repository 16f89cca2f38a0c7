#include "records/ScanHandlers.h"

namespace orvella {

namespace {
bool passOver(ScanContext& context, std::int32_t& remaining) {
    if (!context.stream.skipRecord())
        return false;
    --remaining;
    return true;
}
} // namespace

// The master scan fills the maps in a later step; until then every handled record is passed over.
bool scanGameSetting(ScanContext& context, std::int32_t& remaining) { return passOver(context, remaining); }
bool scanDialogue(ScanContext& context, std::int32_t& remaining) { return passOver(context, remaining); }
bool scanNpc(ScanContext& context, std::int32_t& remaining) { return passOver(context, remaining); }
bool scanItem(ScanContext& context, std::int32_t& remaining) { return passOver(context, remaining); }
bool skipCreature(ScanContext& context, std::int32_t& remaining) { return passOver(context, remaining); }

} // namespace orvella
