#include "scan/ItemTags.h"
#include "scan/ScanHandlers.h"

namespace orvella {

const ScanHandlerMap& scanHandlerMap() {
    static const ScanHandlerMap map = [] {
        ScanHandlerMap handlers{
            {"GMST", scanGameSetting}, {"DIAL", scanDialogue}, {"NPC_", scanNpc}, {"CREA", skipCreature}};
        for (const char* tag : ItemTags)
            handlers.emplace(tag, scanItem);
        return handlers;
    }();
    return map;
}

} // namespace orvella
