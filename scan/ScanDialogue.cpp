#include "records/Bytes.h"
#include "scan/ScanHandlers.h"
#include "scan/ScanMerge.h"

#include <string>

namespace orvella {

namespace {

// The DATA type bytes of a regular topic and of a journal; greetings, voices and persuasion lines are
// neither.
constexpr std::uint8_t RegularTopicType = 0;
constexpr std::uint8_t JournalTopicType = 4;

// The topic whose responses follow, when topics are gathered: a master declares an English topic, a
// plugin an Italian one unless a master declares the name already, which the plugin then only re-declares.
DialogueTopic* declareTopic(ScanContext& context, std::string_view name) {
    if (!context.topics)
        return nullptr;
    if (context.pass == MasterPass)
        return &context.topics->english.declare(name, context.game);
    if (context.topics->english.find(name))
        return nullptr;
    return &context.topics->italian.declare(name, context.game);
}

// The conditions of a response, each subrecord framed by its tag and size so that no two lists run
// together alike.
std::string responseConditions(const RecordView& record) {
    std::string conditions;
    for (const SubrecordView& subrecord : record.subrecords) {
        if (!isResponseCondition(subrecord.tag.str()))
            continue;
        std::uint8_t size[4];
        storeU32(size, subrecord.size());
        conditions.append(subrecord.tag.text, 4);
        conditions.append(reinterpret_cast<const char*>(size), 4);
        conditions.append(reinterpret_cast<const char*>(subrecord.data.data()), subrecord.data.size());
    }
    return conditions;
}

// Reads one INFO record behind a topic; a journal's entries are kept under their INAM with the text
// of their NAME, a record lacking either is passed over like the entries of any other topic.
bool scanInfo(ScanContext& context, std::int32_t& remaining, bool journal, DialogueTopic* topic) {
    // Read and checked all the same, but copied only when kept.
    const RecordView* record = context.stream.readView();
    if (!record)
        return false;
    --remaining;
    const SubrecordView* id = record->find("INAM");
    if (topic && id)
        topic->responses.insert_or_assign(std::string(id->text()), responseConditions(*record));
    if (!journal || !id || !record->find("NAME"))
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
    DialogueTopic* topic = data->data[0] == RegularTopicType ? declareTopic(context, id->text()) : nullptr;
    Tag tag;
    while (remaining > 0) {
        if (!context.stream.peekTag(tag))
            return false;
        if (!tag.sameBytes(Tag("INFO")))
            break;
        if (!scanInfo(context, remaining, journal, topic))
            return false;
    }
    return true;
}

} // namespace orvella
