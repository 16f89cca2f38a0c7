#include "scan/ItemTags.h"
#include "translate/SaveHandlers.h"

namespace orvella {

const SaveHandlerMap& saveHandlerMap(SaveKind kind) {
    static const SaveHandlerMap essMap = [] {
        SaveHandlerMap handlers{{Tag("TES3").key(), patchHeader},  {Tag("DIAL").key(), patchDialogue},
                                {Tag("JOUR").key(), patchJournal}, {Tag("PCDT").key(), patchKnownTopics},
                                {Tag("NPC_").key(), patchNpc},     {Tag("NPCC").key(), patchPlayerInventory},
                                {Tag("QUES").key(), patchQuest}};
        for (const char* tag : ItemTags)
            handlers.emplace(Tag(tag).key(), patchItem);
        return handlers;
    }();
    static const SaveHandlerMap openMwMap = [] {
        SaveHandlerMap handlers{{Tag("TES3").key(), patchContentFiles},
                                {Tag("SAVE").key(), patchDependencies},
                                {Tag("DIAS").key(), patchKnownTopicIds},
                                {Tag("JOUR").key(), patchJournalEntry},
                                {Tag("NPC_").key(), patchHeldName}};
        for (const char* tag : ItemTags)
            handlers.emplace(Tag(tag).key(), patchHeldName);
        return handlers;
    }();
    return kind == SaveKind::Ess ? essMap : openMwMap;
}

} // namespace orvella
