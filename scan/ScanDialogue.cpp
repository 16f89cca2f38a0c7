#include "scan/ScanHandlers.h"
#include "scan/ScanMerge.h"

#include <string>

namespace orvella {

namespace {

// The DATA type byte of a journal topic; other topics, greetings and persuasion lines are not kept.
constexpr std::uint8_t JournalTopicType = 4;

// Reads one INFO record behind a topic; a journal's entries are kept under their INAM with the text
// of their NAME, a record lacking either is passed over like the entries of any other topic.
bool scanInfo(ScanContext& context, std::int32_t& remaining, bool journal) {
    // Read and checked all the same, but copied only when kept.
    const RecordView* record = context.stream.readView();
    if (!record)
        return false;
    --remaining;
    if (!journal)
        return true;
    const SubrecordView* id = record->find("INAM");
    if (!id || !record->find("NAME"))
        return true;
    mergeScannedRecord(context.pass, context.maps.journalEntryMap, id->text(), *record, "NAME");
    return true;
}

} // namespace

bool scanDialogue(ScanContext& context, std::int32_t& remaining) {
    const RecordView* record = context.stream.readView();
    if (!record)
        return false;
    --remaining;
    const SubrecordView* id = record->find("NAME");
    const SubrecordView* data = record->find("DATA");
    // A deleted topic, or one without its ID or type, adds nothing: the file loop skips its entries.
    if (record->find("DELE") || !id || !data || data->data.empty())
        return true;
    bool journal = data->data[0] == JournalTopicType;
    if (journal) {
        // The first topic under an ID is kept; later ones add nothing.
        auto [kept, inserted] = context.maps.journalTopicMap.try_emplace(std::string(id->text()));
        if (inserted)
            kept->second = record->build<TranslatedRecord>();
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
