#pragma once

#include "game/AsciiFold.h"
#include "game/Game.h"
#include "records/ByteChunks.h"
#include "records/RecordStream.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvella {

// A response as the pairing compares it: its id (INAM) and its conditions, and for OpenMW's journal its text
// (NAME), kept one after the other among its side's bytes.
struct Response {
    const char* id = nullptr;
    std::uint32_t idSize = 0;
    std::uint32_t conditionsSize = 0;
    std::uint32_t textSize = 0;
};

// A regular dialogue topic as the masters, or the translation plugins, declare it, with its responses.
struct DialogueTopic {
    std::string name;       // as the first file that declares it spells it
    Game game = Game::Base; // the game whose master declares it first; masters only
    std::vector<Response> responses;
    // Declared again once it had responses, so that a later response may take an earlier one's place.
    bool redeclared = false;
};

// The topics of one language in the order they were first declared, found by their name without regard to
// the case of A to Z, as the game compares topic names. Their responses' bytes are kept together, so that
// gathering them costs no allocation of its own.
class TopicSide {
public:
    const DialogueTopic* find(std::string_view name) const;
    // The topic of that name, declared now unless it was before.
    DialogueTopic& declare(std::string_view name, Game game);
    // Adds the response that the record gives the topic under the id, with its text when asked.
    void addResponse(DialogueTopic& topic, std::string_view id, const RecordView& record,
                     bool withText = false);
    // Adds the topics and responses that a side gathered from the files after this side's, as if this side
    // had gathered them itself.
    void append(TopicSide&& later);
    // Leaves one response per id in each topic: the last one read takes an earlier one's place.
    void settle();
    // Forgets the topics whose names the other side declares, keeping the order of the rest.
    void dropDeclaredIn(const TopicSide& other);
    // The topics whose names the other side does not declare, in their order; their responses stay among
    // this side's bytes, which must outlive the copy.
    TopicSide withoutDeclaredIn(const TopicSide& other) const;

    const std::vector<DialogueTopic>& topics() const { return topics_; }
    // The chunks the responses were kept in, for whoever writes into them next; the responses go with them.
    ByteChunks takeBytes() { return std::move(bytes_); }
    static std::string_view id(const Response& response) { return {response.id, response.idSize}; }
    static std::string_view conditions(const Response& response) {
        return {response.id + response.idSize, response.conditionsSize};
    }
    static std::string_view text(const Response& response) {
        return {response.id + response.idSize + response.conditionsSize, response.textSize};
    }

private:
    std::vector<DialogueTopic> topics_;
    // Found by any spelling of the name, without a folded copy of it.
    std::unordered_map<std::string, std::size_t, FoldedHash, FoldedEqual> byFoldedName_;
    ByteChunks bytes_;
};

// What the scan gathers to pair the topics that a translation renames: the regular topics of the masters,
// and those of the translation plugins under names that no master declares (a plugin only re-declares those).
// For OpenMW's journal it keeps every topic that the plugins declare, and the journals of both sides, with
// their responses' texts.
struct DialogueTopics {
    TopicSide english;
    TopicSide italian;
    TopicSide plugins;
    TopicSide englishJournals;
    TopicSide pluginJournals;
};

} // namespace orvella
