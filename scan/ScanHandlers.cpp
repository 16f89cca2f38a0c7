#include "scan/ScanHandlers.h"

#include "scan/ScanMerge.h"

#include <string>

namespace orvella {

void mergeScannedRecord(ScanPass pass, TranslationMaps& maps, MapKind kind, TranslationMap::iterator& at,
                        std::string_view key, const RecordView& record, std::string_view textTag) {
    TranslationMap& map = maps[kind];
    ByteChunks& bytes = maps.bytesOf(kind);
    const std::size_t before = map.size();
    at = map.try_emplace(at == map.end() ? at : std::next(at), std::string(key));
    if (map.size() != before) {
        at->second =
            record.build<TranslatedRecord>(&bytes, [kind](const Tag& tag) { return keptInMap(kind, tag); });
        return;
    }
    const SubrecordView* text = textTag.empty() ? nullptr : record.find(textTag);
    if (!text)
        return;
    if (pass == MasterPass)
        at->second->replaceSubrecord(textTag, text->data.data(), text->size());
    else
        at->second->setTranslation(TranslationTag, text->data.data(), text->size(), bytes);
}

namespace {

// NPC, item and spell records: keyed by NAME, named by FNAM.
bool scanNamedObject(ScanContext& context, std::int32_t& remaining, MapKind kind) {
    const RecordView* record = context.stream.readView();
    if (!record)
        return false;
    --remaining;
    if (const SubrecordView* id = record->find("NAME"))
        context.kept.keep(kind, id->text(), *record, "FNAM");
    return true;
}

} // namespace

bool scanGameSetting(ScanContext& context, std::int32_t& remaining) {
    const RecordView* record = context.stream.readView();
    if (!record)
        return false;
    --remaining;
    // Setting IDs carry no terminator in the game's files: the key is the data up to a NUL or its end.
    if (const SubrecordView* id = record->find("NAME"))
        context.kept.keep(MapKind::Gmst, id->text(), *record, "STRV");
    return true;
}

bool scanNpc(ScanContext& context, std::int32_t& remaining) {
    return scanNamedObject(context, remaining, MapKind::Npc);
}

bool scanItem(ScanContext& context, std::int32_t& remaining) {
    return scanNamedObject(context, remaining, MapKind::Item);
}

} // namespace orvella
