#include "records/MasterScan.h"

namespace orvella {

// Filled with the master and plugin scan; until then the maps stay empty and the job goes on.
bool scanMastersAndPlugins(JobState&) { return true; }

bool isSaveItemTag(const Tag& tag) {
    static const char* const SaveItemTags[] = {"BOOK", "CONT", "WEAP", "ARMO", "LOCK", "PROB", "REPA",
                                               "CLOT", "INGR", "LIGH", "SPEL", "ALCH", "MISC", "APPA"};
    for (const char* itemTag : SaveItemTags)
        if (tag.sameBytes(Tag(itemTag)))
            return true;
    return false;
}

void registerSaveItem(TranslationMaps&, const Record&) {}

} // namespace orvella
