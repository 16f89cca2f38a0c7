#include "scan/ItemTags.h"
#include "scan/ScanHandlers.h"

namespace orvella {

const ScanHandlerMap& scanHandlerMap() {
    static const ScanHandlerMap map = [] {
        ScanHandlerMap handlers{{Tag("GMST").key(), scanGameSetting},
                                {Tag("DIAL").key(), scanDialogue},
                                {Tag("NPC_").key(), scanNpc}};
        for (const char* tag : ItemTags)
            handlers.emplace(Tag(tag).key(), scanItem);
        return handlers;
    }();
    return map;
}

} // namespace orvella
