#include "records/ScanHandlers.h"
#include "records/ScanMerge.h"

#include <string>

namespace orvella {

namespace {

// The DATA type byte of a journal topic; other topics, greetings and persuasion lines are not kept.
constexpr std::uint8_t JournalTopicType = 4;

// Reads one INFO record behind a topic; a journal's entries are kept under their INAM with the text
// of their NAME, a record lacking either is passed over like the entries of any other topic.
bool scanInfo(ScanContext& context, std::int32_t& remaining, bool journal) {
    auto record = context.stream.readTranslatedRecord();
    if (!record)
        return false;
    --remaining;
    if (!journal)
        return true;
    const Subrecord* id = record->findSubrecord("INAM");
    if (!id || !record->findSubrecord("NAME"))
        return true;
    std::string key(id->text());
    mergeScannedRecord(context.pass, context.maps.journalEntryMap, std::move(key), std::move(record), "NAME");
    return true;
}

} // namespace

bool scanDialogue(ScanContext& context, std::int32_t& remaining) {
    auto record = context.stream.readTranslatedRecord();
    if (!record)
        return false;
    --remaining;
    const Subrecord* id = record->findSubrecord("NAME");
    const Subrecord* data = record->findSubrecord("DATA");
    // A deleted topic, or one without its ID or type, adds nothing: the file loop skips its entries.
    if (record->findSubrecord("DELE") || !id || !data || data->data.empty())
        return true;
    bool journal = data->data[0] == JournalTopicType;
    if (journal) {
        std::string key(id->text());
        context.maps.journalTopicMap.emplace(std::move(key), std::move(record));
    }
    Tag tag;
    while (remaining > 0) {
        if (!context.stream.peekTag(tag))
            return false;
        if (!tag.sameBytes(Tag("INFO")))
            break;
        if (!scanInfo(context, remaining, journal))
            return false;
    }
    return true;
}

} // namespace orvella
