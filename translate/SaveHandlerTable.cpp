#include "scan/ItemTags.h"
#include "translate/SaveHandlers.h"

namespace orvella {

const SaveHandlerMap& saveHandlerMap() {
    static const SaveHandlerMap map = [] {
        SaveHandlerMap handlers{
            {"TES3", patchHeader},          {"DIAL", patchDialogue},    {"INFO", keepRecord},
            {"JOUR", patchJournal},         {"PCDT", patchKnownTopics}, {"NPC_", patchNpc},
            {"NPCC", patchPlayerInventory}, {"CREA", keepRecord},       {"QUES", patchQuest}};
        for (const char* tag : ItemTags)
            handlers.emplace(tag, patchItem);
        return handlers;
    }();
    return map;
}

} // namespace orvella
