#include "scan/ItemTags.h"
#include "translate/SaveHandlers.h"

namespace orvella {

const SaveHandlerMap& saveHandlerMap() {
    static const SaveHandlerMap map = [] {
        SaveHandlerMap handlers{{Tag("TES3").key(), patchHeader},  {Tag("DIAL").key(), patchDialogue},
                                {Tag("JOUR").key(), patchJournal}, {Tag("PCDT").key(), patchKnownTopics},
                                {Tag("NPC_").key(), patchNpc},     {Tag("NPCC").key(), patchPlayerInventory},
                                {Tag("QUES").key(), patchQuest}};
        for (const char* tag : ItemTags)
            handlers.emplace(Tag(tag).key(), patchItem);
        return handlers;
    }();
    return map;
}

} // namespace orvella
