#include "translate/DerivedTopics.h"

#include "game/AsciiFold.h"

#include <string>
#include <unordered_set>

namespace orvella {

DerivedTopicRows derivedTopicRows(const DialogueTopics& topics, const TopicPairing& pairing,
                                  const TopicTables& tables) {
    std::unordered_set<std::string> inTables;
    std::string folded;
    for (Game game : AllGames)
        for (const TopicRow& row : tables.topicRows(game))
            for (std::string_view name : {row.english, row.italian}) {
                foldAsciiInto(name, folded);
                inTables.insert(folded);
            }
    auto standsInTables = [&](std::string_view name) {
        foldAsciiInto(name, folded);
        return inTables.count(folded) != 0;
    };
    std::vector<const TopicPair*> kept;
    std::size_t nameBytes = 0;
    for (const TopicPair& pair : pairing.pairs) {
        const DialogueTopic& english = topics.english.topics()[pair.english];
        const DialogueTopic& italian = topics.italian.topics()[pair.italian];
        if (tables.suppliedAsFile[indexOf(english.game)] || standsInTables(english.name) ||
            standsInTables(italian.name))
            continue;
        kept.push_back(&pair);
        nameBytes += english.name.size() + italian.name.size();
    }
    // Sized once, so that the names never move after a row points into them.
    DerivedTopicRows derived;
    derived.names.reserve(nameBytes);
    auto keep = [&derived](const std::string& name) {
        const std::size_t at = derived.names.size();
        derived.names.insert(derived.names.end(), name.begin(), name.end());
        return std::string_view(derived.names.data() + at, name.size());
    };
    for (const TopicPair* pair : kept) {
        const DialogueTopic& english = topics.english.topics()[pair->english];
        const DialogueTopic& italian = topics.italian.topics()[pair->italian];
        derived.tables[indexOf(english.game)].push_back({{keep(english.name), keep(italian.name)}, pair->by});
    }
    return derived;
}

} // namespace orvella
