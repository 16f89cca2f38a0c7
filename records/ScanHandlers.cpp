#include "records/ScanHandlers.h"

#include "records/ScanMerge.h"

#include <string>

namespace orvella {

void mergeScannedRecord(ScanPass pass, TranslationMap& map, std::string key,
                        std::unique_ptr<TranslatedRecord> record, std::string_view textTag) {
    auto kept = map.find(key);
    if (kept == map.end()) {
        map.emplace(std::move(key), std::move(record));
        return;
    }
    const Subrecord* text = record->findSubrecord(textTag);
    if (!text)
        return;
    if (pass == MasterPass)
        kept->second->replaceSubrecord(textTag, text->data.data(), text->size());
    else
        kept->second->setTranslation(TranslationTag, text->data.data(), text->size());
}

namespace {

// NPC, item and spell records: keyed by NAME, named by FNAM.
bool scanNamedObject(ScanContext& context, std::int32_t& remaining, TranslationMap& map) {
    auto record = context.stream.readTranslatedRecord();
    if (!record)
        return false;
    --remaining;
    const Subrecord* id = record->findSubrecord("NAME");
    if (!id)
        return true;
    std::string key(id->text());
    mergeScannedRecord(context.pass, map, std::move(key), std::move(record), "FNAM");
    return true;
}

} // namespace

bool scanGameSetting(ScanContext& context, std::int32_t& remaining) {
    auto record = context.stream.readTranslatedRecord();
    if (!record)
        return false;
    --remaining;
    const Subrecord* id = record->findSubrecord("NAME");
    if (!id)
        return true;
    // Setting IDs carry no terminator in the game's files: the key is the data up to a NUL or its end.
    std::string key(id->text());
    mergeScannedRecord(context.pass, context.maps.gmstMap, std::move(key), std::move(record), "STRV");
    return true;
}

bool scanNpc(ScanContext& context, std::int32_t& remaining) {
    return scanNamedObject(context, remaining, context.maps.npcNameMap);
}

bool scanItem(ScanContext& context, std::int32_t& remaining) {
    return scanNamedObject(context, remaining, context.maps.itemNameMap);
}

bool skipCreature(ScanContext& context, std::int32_t& remaining) {
    if (!context.stream.skipRecord())
        return false;
    --remaining;
    return true;
}

} // namespace orvella
