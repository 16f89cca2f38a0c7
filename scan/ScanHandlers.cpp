#include "scan/ScanHandlers.h"

#include "scan/ScanMerge.h"

#include <string>

namespace orvella {

void mergeScannedRecord(TranslationMaps& maps, MapKind kind, TranslationMap::iterator& at,
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
    at->second->replaceSubrecord(textTag, text->data.data(), text->size());
}

namespace {

// NPC, creature, item, spell, race, class and faction records: keyed by NAME, named by FNAM.
const RecordView* scanNamedObject(ScanContext& context, std::int32_t& remaining, MapKind kind) {
    const RecordView* record = context.stream.readView();
    if (!record)
        return nullptr;
    --remaining;
    if (const SubrecordView* id = record->find("NAME"))
        context.kept.keep(kind, context.key(id->text()), *record, "FNAM");
    return record;
}

// A faction's rank: the faction's key, a NUL no id holds, and the rank's number.
std::string rankKey(std::string_view faction, std::size_t rank) {
    std::string key(faction);
    key += '\0';
    key += static_cast<char>('0' + rank);
    return key;
}

} // namespace

bool scanGameSetting(ScanContext& context, std::int32_t& remaining) {
    const RecordView* record = context.stream.readView();
    if (!record)
        return false;
    --remaining;
    // Setting IDs carry no terminator in the game's files: the key is the data up to a NUL or its end.
    if (const SubrecordView* id = record->find("NAME"))
        context.kept.keep(MapKind::Gmst, context.key(id->text()), *record, "STRV");
    return true;
}

bool scanNpc(ScanContext& context, std::int32_t& remaining) {
    return scanNamedObject(context, remaining, MapKind::Npc) != nullptr;
}

bool scanItem(ScanContext& context, std::int32_t& remaining) {
    return scanNamedObject(context, remaining, MapKind::Item) != nullptr;
}

bool scanCreature(ScanContext& context, std::int32_t& remaining) {
    return scanNamedObject(context, remaining, MapKind::Creature) != nullptr;
}

bool scanRace(ScanContext& context, std::int32_t& remaining) {
    return scanNamedObject(context, remaining, MapKind::Race) != nullptr;
}

bool scanClass(ScanContext& context, std::int32_t& remaining) {
    return scanNamedObject(context, remaining, MapKind::Class) != nullptr;
}

bool scanFaction(ScanContext& context, std::int32_t& remaining) {
    const RecordView* record = scanNamedObject(context, remaining, MapKind::Faction);
    if (!record)
        return false;
    const SubrecordView* id = record->find("NAME");
    if (!id)
        return true;
    // Each rank is kept as a record of its own that holds its name alone, so that a later file's rank
    // names reach each rank as another record's name does.
    const std::string faction(context.key(id->text()));
    RecordView rank{record->tag, 0, record->headerWord, record->flags, {}};
    std::size_t number = 0;
    for (const SubrecordView& subrecord : record->subrecords) {
        if (!subrecord.tag.is("RNAM"))
            continue;
        rank.subrecords.assign(1, subrecord);
        rank.size = static_cast<std::uint32_t>(SubrecordHeaderSize + subrecord.data.size());
        context.kept.keep(MapKind::Rank, rankKey(faction, number++), rank, "RNAM");
    }
    return true;
}

} // namespace orvella
