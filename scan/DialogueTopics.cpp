#include "scan/DialogueTopics.h"

#include "game/AsciiFold.h"

namespace orvella {

namespace {

std::string folded(std::string_view name) {
    std::string key;
    foldAsciiInto(name, key);
    return key;
}

} // namespace

const DialogueTopic* TopicSide::find(std::string_view name) const {
    auto found = byFoldedName_.find(folded(name));
    return found == byFoldedName_.end() ? nullptr : &topics_[found->second];
}

DialogueTopic& TopicSide::declare(std::string_view name, Game game) {
    auto [entry, added] = byFoldedName_.try_emplace(folded(name), topics_.size());
    if (added)
        topics_.push_back(DialogueTopic{std::string(name), game, {}});
    return topics_[entry->second];
}

void TopicSide::clear() {
    topics_.clear();
    byFoldedName_.clear();
}

bool isResponseCondition(std::string_view tag) {
    for (std::string_view text : {"INAM", "PNAM", "NNAM", "NAME", "BNAM", "SNAM"})
        if (tag == text)
            return false;
    return true;
}

} // namespace orvella
