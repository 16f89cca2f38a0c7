#pragma once

#include "game/Game.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvella {

// A regular dialogue topic as the masters, or the translation plugins, declare it, with its responses.
struct DialogueTopic {
    std::string name;       // as the first file that declares it spells it
    Game game = Game::Base; // the game whose master declares it first; masters only
    // Response id (INAM) -> the response's conditions; a later file's response takes an earlier one's place.
    std::unordered_map<std::string, std::string> responses;
};

// The topics of one language in the order they were first declared, found by their name without regard to
// the case of A to Z, as the game compares topic names.
class TopicSide {
public:
    const DialogueTopic* find(std::string_view name) const;
    // The topic of that name, declared now unless it was before.
    DialogueTopic& declare(std::string_view name, Game game);
    const std::vector<DialogueTopic>& topics() const { return topics_; }
    void clear();

private:
    std::vector<DialogueTopic> topics_;
    std::unordered_map<std::string, std::size_t> byFoldedName_;
};

// What the scan gathers to pair the topics that a translation renames: the regular topics of the masters,
// and those of the translation plugins under names that no master declares.
struct DialogueTopics {
    TopicSide english;
    TopicSide italian;
};

// A response's conditions: its subrecords other than its id, its links, its text, its result script and
// its sound, each as tag, size and bytes, in record order.
bool isResponseCondition(std::string_view tag);

} // namespace orvella
