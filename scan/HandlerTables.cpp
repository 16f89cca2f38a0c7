#include "scan/HandlerTables.h"

#include "scan/ScanHandlers.h"
#include "translate/SaveHandlers.h"

namespace orvella {

namespace {

const HandlerRow<ScanHandler> ScanHandlerTable[] = {
    {"GMST", scanGameSetting}, {"DIAL", scanDialogue}, {"NPC_", scanNpc},  {"CREA", skipCreature},
    {"BOOK", scanItem},        {"CONT", scanItem},     {"WEAP", scanItem}, {"ARMO", scanItem},
    {"LOCK", scanItem},        {"PROB", scanItem},     {"REPA", scanItem}, {"CLOT", scanItem},
    {"INGR", scanItem},        {"LIGH", scanItem},     {"SPEL", scanItem}, {"ALCH", scanItem},
    {"APPA", scanItem},        {"MISC", scanItem},
};

const HandlerRow<SaveHandler> SaveHandlerTable[] = {
    {"TES3", patchHeader},
    {"DIAL", patchDialogue},
    {"INFO", keepRecord},
    {"JOUR", patchJournal},
    {"PCDT", patchKnownTopics},
    {"NPC_", patchNpc},
    {"NPCC", patchPlayerInventory},
    {"CREA", keepRecord},
    {"APPA", patchItem},
    {"ARMO", patchItem},
    {"BOOK", patchItem},
    {"CLOT", patchItem},
    {"CONT", patchItem},
    {"INGR", patchItem},
    {"LIGH", patchItem},
    {"SPEL", patchItem},
    {"ALCH", patchItem},
    {"LOCK", patchItem},
    {"MISC", patchItem},
    {"PROB", patchItem},
    {"REPA", patchItem},
    {"WEAP", patchItem},
    {"QUES", patchQuest},
};

} // namespace

std::span<const HandlerRow<ScanHandler>> scanHandlerTable() {
    return ScanHandlerTable;
}

std::span<const HandlerRow<SaveHandler>> saveHandlerTable() {
    return SaveHandlerTable;
}

} // namespace orvella
