#include "scan/ScanHandlers.h"

#include <string>

namespace orvella {

namespace {

// The DATA type bytes of a regular topic and of a journal; greetings, voices and persuasion lines are
// neither.
constexpr std::uint8_t RegularTopicType = 0;
constexpr std::uint8_t JournalTopicType = 4;

// Where the responses behind a topic record go.
struct GatheredTopic {
    TopicSide* side = nullptr;
    DialogueTopic* topic = nullptr;
};

// Reads one INFO record behind a topic; a journal's entries are kept under their INAM with the text
// of their NAME, a record lacking either is passed over like the entries of any other topic.
bool scanInfo(ScanContext& context, std::int32_t& remaining, bool journal, const GatheredTopic& gathered) {
    // Read and checked all the same, but copied only when kept.
    const RecordView* record = context.stream.readView();
    if (!record)
        return false;
    --remaining;
    const SubrecordView* id = record->find("INAM");
    if (gathered.topic && id)
        gathered.side->addResponse(*gathered.topic, id->text(), *record,
                                   context.saveKind == SaveKind::OpenMw);
    if (!journal || context.saveKind != SaveKind::Ess || !id || !record->find("NAME"))
        return true;
    context.kept.keep(MapKind::JournalEntry, id->text(), *record, "NAME");
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
    // The first topic under an ID is kept; later ones add nothing.
    if (journal && context.saveKind == SaveKind::Ess)
        context.kept.keep(MapKind::JournalTopic, id->text(), *record, {});
    // A topic without a name has nothing to rename, nor to be renamed to. OpenMW's journal finds its entries'
    // responses under their journals as under their topics.
    GatheredTopic gathered;
    if (!id->text().empty())
        gathered.side = data->data[0] == RegularTopicType ? context.topics
                        : journal                         ? context.journals
                                                          : nullptr;
    if (gathered.side)
        gathered.topic = &gathered.side->declare(id->text(), context.game);
    Tag tag;
    while (remaining > 0) {
        if (!context.stream.peekTag(tag))
            return false;
        if (!tag.sameBytes(Tag("INFO")))
            break;
        if (!scanInfo(context, remaining, journal, gathered))
            return false;
    }
    return true;
}

} // namespace orvella
