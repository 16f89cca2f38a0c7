#include "scan/DialogueTopics.h"

#include "game/AsciiFold.h"
#include "records/Bytes.h"
#include "records/RecordLayout.h"

#include <cstring>

namespace orvella {

namespace {

// A response's conditions are its subrecords other than its id, its links, its text, its result script and
// its sound.
const std::uint32_t NotConditions[] = {Tag("INAM").key(), Tag("PNAM").key(), Tag("NNAM").key(),
                                       Tag("NAME").key(), Tag("BNAM").key(), Tag("SNAM").key()};

bool isCondition(const Tag& tag) {
    const std::uint32_t key = tag.key();
    for (std::uint32_t other : NotConditions)
        if (key == other)
            return false;
    return true;
}

} // namespace

const DialogueTopic* TopicSide::find(std::string_view name) const {
    auto found = byFoldedName_.find(name);
    return found == byFoldedName_.end() ? nullptr : &topics_[found->second];
}

DialogueTopic& TopicSide::declare(std::string_view name, Game game) {
    auto [entry, added] = byFoldedName_.try_emplace(foldedAscii(name), topics_.size());
    if (added)
        topics_.push_back(DialogueTopic{std::string(name), game, {}, false});
    DialogueTopic& topic = topics_[entry->second];
    topic.redeclared = topic.redeclared || !topic.responses.empty();
    return topic;
}

void TopicSide::addResponse(DialogueTopic& topic, std::string_view id, const RecordView& record,
                            bool withText) {
    std::size_t conditions = 0;
    for (const SubrecordView& subrecord : record.subrecords)
        if (isCondition(subrecord.tag))
            conditions += SubrecordHeaderSize + subrecord.data.size();
    const SubrecordView* name = withText ? record.find("NAME") : nullptr;
    const std::string_view text = name ? name->text() : std::string_view();
    char* at = bytes_.extend(id.size() + conditions + text.size());
    topic.responses.push_back({at, static_cast<std::uint32_t>(id.size()),
                               static_cast<std::uint32_t>(conditions),
                               static_cast<std::uint32_t>(text.size())});
    if (!id.empty())
        std::memcpy(at, id.data(), id.size());
    at += id.size();
    // Each subrecord framed by its tag and size, so that no two lists of conditions run together alike.
    for (const SubrecordView& subrecord : record.subrecords) {
        if (!isCondition(subrecord.tag))
            continue;
        std::memcpy(at, subrecord.tag.text, 4);
        storeU32(reinterpret_cast<std::uint8_t*>(at + 4), subrecord.size());
        at += SubrecordHeaderSize;
        if (!subrecord.data.empty())
            std::memcpy(at, subrecord.data.data(), subrecord.data.size());
        at += subrecord.data.size();
    }
    if (!text.empty())
        std::memcpy(at, text.data(), text.size());
}

void TopicSide::append(TopicSide&& later) {
    for (DialogueTopic& topic : later.topics_) {
        // Declared once here, it is declared again when it had responses; so it is when the later side
        // declared it again after its own.
        DialogueTopic& into = declare(topic.name, topic.game);
        into.redeclared = into.redeclared || topic.redeclared;
        into.responses.insert(into.responses.end(), topic.responses.begin(), topic.responses.end());
    }
    bytes_.take(std::move(later.bytes_));
    later = TopicSide();
}

void TopicSide::dropDeclaredIn(const TopicSide& other) {
    std::erase_if(topics_, [&](const DialogueTopic& topic) { return other.find(topic.name) != nullptr; });
    byFoldedName_.clear();
    for (std::size_t i = 0; i < topics_.size(); ++i)
        byFoldedName_.emplace(foldedAscii(topics_[i].name), i);
}

TopicSide TopicSide::withoutDeclaredIn(const TopicSide& other) const {
    TopicSide kept;
    for (const DialogueTopic& topic : topics_)
        if (!other.find(topic.name)) {
            kept.byFoldedName_.emplace(foldedAscii(topic.name), kept.topics_.size());
            kept.topics_.push_back(topic);
        }
    return kept;
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
