#pragma once

#include "scan/DialogueTopics.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orvella {

enum class PairedBy { ResponseIds, Conditions };

// An English topic and the Italian topic that renames it, as indices into their sides.
struct TopicPair {
    std::size_t english;
    std::size_t italian;
    PairedBy by;
};

enum class UnpairedReason {
    NoResponseInCommon,
    Tie,            // between the named topics
    PrefersAnother, // its best match, named first, prefers the topic named second
    TooFewInCommon, // with the named topic: fewer than half of the responses of one of the two
};

// An Italian topic that no English topic was paired with, and why: the reason of the last way of pairing
// that found it a candidate.
struct UnpairedTopic {
    std::size_t italian;
    UnpairedReason reason;
    std::vector<std::string> named;
    std::uint32_t inCommon = 0;
};

struct TopicPairing {
    std::vector<TopicPair> pairs; // in the order of the English topics
    std::vector<UnpairedTopic> unpaired;
};

// Pairs each Italian topic with the English topic it renames, only where the responses leave no doubt.
// First by response ids: the two are each other's one best match by the ids they share, at least one.
// Then, among the topics left on both sides, by conditions: each other's one best match by the responses
// whose conditions are alike, counted once each, and these at least half of either topic's responses.
TopicPairing pairTopics(const DialogueTopics& topics);

} // namespace orvella
