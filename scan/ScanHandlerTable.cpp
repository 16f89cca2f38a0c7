#include "scan/ItemTags.h"
#include "scan/ScanHandlers.h"

namespace orvella {

const ScanHandlerMap& scanHandlerMap(SaveKind kind) {
    static const ScanHandlerMap essMap = [] {
        ScanHandlerMap handlers{{Tag("GMST").key(), scanGameSetting},
                                {Tag("DIAL").key(), scanDialogue},
                                {Tag("NPC_").key(), scanNpc}};
        for (const char* tag : ItemTags)
            handlers.emplace(Tag(tag).key(), scanItem);
        return handlers;
    }();
    // OpenMW's journal keeps no dates to translate, and its texts name creatures, races, classes, factions
    // and their ranks.
    static const ScanHandlerMap openMwMap = [] {
        ScanHandlerMap handlers{{Tag("DIAL").key(), scanDialogue}, {Tag("NPC_").key(), scanNpc},
                                {Tag("CREA").key(), scanCreature}, {Tag("RACE").key(), scanRace},
                                {Tag("CLAS").key(), scanClass},    {Tag("FACT").key(), scanFaction}};
        for (const char* tag : ItemTags)
            handlers.emplace(Tag(tag).key(), scanItem);
        return handlers;
    }();
    return kind == SaveKind::Ess ? essMap : openMwMap;
}

} // namespace orvella
