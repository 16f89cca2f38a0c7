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
    DerivedTopicRows derived;
    for (const TopicPair& pair : pairing.pairs) {
        const DialogueTopic& english = topics.english.topics()[pair.english];
        const DialogueTopic& italian = topics.italian.topics()[pair.italian];
        if (tables.suppliedAsFile[indexOf(english.game)] || standsInTables(english.name) ||
            standsInTables(italian.name))
            continue;
        derived.tables[indexOf(english.game)].push_back({{english.name, italian.name}, pair.by});
    }
    return derived;
}

} // namespace orvella
