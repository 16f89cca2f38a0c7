#include "scan/DialogueTopics.h"

#include "game/AsciiFold.h"
#include "records/Bytes.h"

namespace orvella {

namespace {

std::string folded(std::string_view name) {
    std::string key;
    foldAsciiInto(name, key);
    return key;
}

// A response's conditions are its subrecords other than its id, its links, its text, its result script and
// its sound.
bool isCondition(const Tag& tag) {
    static const Tag notConditions[] = {Tag("INAM"), Tag("PNAM"), Tag("NNAM"),
                                        Tag("NAME"), Tag("BNAM"), Tag("SNAM")};
    for (const Tag& other : notConditions)
        if (tag.sameBytes(other))
            return false;
    return true;
}

} // namespace

const DialogueTopic* TopicSide::find(std::string_view name) const {
    auto found = byFoldedName_.find(folded(name));
    return found == byFoldedName_.end() ? nullptr : &topics_[found->second];
}

DialogueTopic& TopicSide::declare(std::string_view name, Game game) {
    auto [entry, added] = byFoldedName_.try_emplace(folded(name), topics_.size());
    if (added)
        topics_.push_back(DialogueTopic{std::string(name), game, {}, false});
    DialogueTopic& topic = topics_[entry->second];
    topic.redeclared = topic.redeclared || !topic.responses.empty();
    return topic;
}

void TopicSide::addResponse(DialogueTopic& topic, std::string_view id, const RecordView& record) {
    Response response;
    response.id = static_cast<std::uint32_t>(bytes_.size());
    response.idSize = static_cast<std::uint32_t>(id.size());
    bytes_.append(id);
    response.conditions = static_cast<std::uint32_t>(bytes_.size());
    // Each subrecord framed by its tag and size, so that no two lists of conditions run together alike.
    for (const SubrecordView& subrecord : record.subrecords) {
        if (!isCondition(subrecord.tag))
            continue;
        char size[4];
        storeU32(reinterpret_cast<std::uint8_t*>(size), subrecord.size());
        bytes_.append(subrecord.tag.text, 4);
        bytes_.append(size, 4);
        bytes_.append(reinterpret_cast<const char*>(subrecord.data.data()), subrecord.data.size());
    }
    response.conditionsSize = static_cast<std::uint32_t>(bytes_.size()) - response.conditions;
    topic.responses.push_back(response);
}

void TopicSide::dropDeclaredIn(const TopicSide& other) {
    std::erase_if(topics_, [&](const DialogueTopic& topic) { return other.find(topic.name) != nullptr; });
    byFoldedName_.clear();
    for (std::size_t i = 0; i < topics_.size(); ++i)
        byFoldedName_.emplace(folded(topics_[i].name), i);
}

void TopicSide::settle() {
    std::unordered_map<std::string_view, std::size_t> kept;
    for (DialogueTopic& topic : topics_) {
        if (!topic.redeclared)
            continue;
        kept.clear();
        std::vector<Response> responses;
        for (const Response& response : topic.responses) {
            auto [slot, added] = kept.try_emplace(id(response), responses.size());
            if (added)
                responses.push_back(response);
            else
                responses[slot->second] = response;
        }
        topic.responses = std::move(responses);
        topic.redeclared = false;
    }
}

} // namespace orvella
