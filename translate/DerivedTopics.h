#pragma once

#include "game/Game.h"
#include "scan/DialogueTopics.h"
#include "scan/TopicPairing.h"
#include "translate/BuiltInTables.h"

#include <array>
#include <vector>

namespace orvella {

// A row that a pair derived from the game's files adds to a topic table.
struct DerivedRow {
    TopicRow row;
    PairedBy by;
};

// The derived rows of each topic table, in the order of the English topics. They own the names they point
// into, so that the scanned topics can go once they are paired; a move keeps the rows valid.
struct DerivedTopicRows {
    DerivedTopicRows() = default;
    DerivedTopicRows(DerivedTopicRows&&) = default;
    DerivedTopicRows& operator=(DerivedTopicRows&&) = default;

    std::array<std::vector<DerivedRow>, GameCount> tables;
    std::vector<char> names;

    const std::vector<DerivedRow>& of(Game game) const { return tables[indexOf(game)]; }
};

// The pairs that go to each table that the player did not supply as a file, each to the table of the game
// whose master declares its English topic first; a pair is left out when its English or its Italian name
// stands, without regard to the case of A to Z, in a row of any of the tables in use, which wins.
DerivedTopicRows derivedTopicRows(const DialogueTopics& topics, const TopicPairing& pairing,
                                  const TopicTables& tables);

} // namespace orvella
