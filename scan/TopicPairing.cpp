#include "scan/TopicPairing.h"

#include "scan/TextIndex.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace orvella {

namespace {

// For each Italian topic, the English topics it has something in common with, and how much.
using Scores = std::vector<std::vector<std::pair<std::size_t, std::uint32_t>>>;

// Adds up, for one Italian topic at a time, what it shares with each English topic, in counters kept
// between topics so that scoring allocates only the list it keeps.
class Tally {
public:
    explicit Tally(std::size_t englishTopics) : counts_(englishTopics) {}

    void add(std::size_t e, std::uint32_t amount) {
        if (counts_[e] == 0)
            touched_.push_back(e);
        counts_[e] += amount;
    }
    std::vector<std::pair<std::size_t, std::uint32_t>> take() {
        std::vector<std::pair<std::size_t, std::uint32_t>> scores;
        scores.reserve(touched_.size());
        for (std::size_t e : touched_) {
            scores.emplace_back(e, counts_[e]);
            counts_[e] = 0;
        }
        touched_.clear();
        return scores;
    }

private:
    std::vector<std::uint32_t> counts_;
    std::vector<std::size_t> touched_;
};

// A topic's best match on the other side: the highest score, and every topic that reaches it.
struct Best {
    std::uint32_t score = 0;
    std::vector<std::size_t> topics;

    void offer(std::size_t topic, std::uint32_t offered) {
        if (offered < score)
            return;
        if (offered > score)
            topics.clear();
        score = offered;
        topics.push_back(topic);
    }
    bool unique() const { return topics.size() == 1; }
};

// One way of pairing: where each topic's best match lies, and why an Italian topic that has candidates
// stayed unpaired.
class Stage {
public:
    Stage(const DialogueTopics& topics, const Scores& scores)
        : topics_(topics), scores_(scores), ofItalian_(scores.size()),
          ofEnglish_(topics.english.topics().size()) {
        for (std::size_t i = 0; i < scores.size(); ++i)
            for (const auto& [e, score] : scores[i]) {
                ofItalian_[i].offer(e, score);
                ofEnglish_[e].offer(i, score);
            }
    }

    // The English topic that the Italian one and it each find the only best match.
    std::optional<std::size_t> mutualBest(std::size_t i) const {
        const Best& best = ofItalian_[i];
        if (best.score == 0 || !best.unique())
            return std::nullopt;
        const std::size_t e = best.topics[0];
        if (!ofEnglish_[e].unique() || ofEnglish_[e].topics[0] != i)
            return std::nullopt;
        return e;
    }
    std::uint32_t score(std::size_t i) const { return ofItalian_[i].score; }
    bool hasCandidates(std::size_t i) const { return !scores_[i].empty(); }

    UnpairedTopic why(std::size_t i) const {
        const Best& best = ofItalian_[i];
        if (!best.unique())
            return {i, UnpairedReason::Tie, names(best.topics, topics_.english), best.score};
        const std::size_t e = best.topics[0];
        const Best& back = ofEnglish_[e];
        if (!back.unique())
            return {i, UnpairedReason::Tie, names(back.topics, topics_.italian), best.score};
        if (back.topics[0] != i)
            return {i,
                    UnpairedReason::PrefersAnother,
                    {topics_.english.topics()[e].name, topics_.italian.topics()[back.topics[0]].name},
                    best.score};
        return {i, UnpairedReason::TooFewInCommon, {topics_.english.topics()[e].name}, best.score};
    }

private:
    static std::vector<std::string> names(std::vector<std::size_t> indices, const TopicSide& side) {
        std::sort(indices.begin(), indices.end());
        std::vector<std::string> named;
        for (std::size_t index : indices)
            named.push_back(side.topics()[index].name);
        return named;
    }

    const DialogueTopics& topics_;
    const Scores& scores_;
    std::vector<Best> ofItalian_;
    std::vector<Best> ofEnglish_;
};

Scores scoreByIds(const DialogueTopics& topics) {
    const auto& english = topics.english.topics();
    const auto& italian = topics.italian.topics();
    // Two English topics may share a response id, so an id leads to a chain of them.
    std::size_t responses = 0;
    for (const DialogueTopic& topic : english)
        responses += topic.responses.size();
    TextIndex firstWithId(responses);
    std::vector<std::pair<std::size_t, std::uint32_t>> chain; // topic, next link or none
    chain.reserve(responses);
    constexpr std::uint32_t None = ~std::uint32_t{0};
    for (std::size_t e = 0; e < english.size(); ++e)
        for (const Response& response : english[e].responses) {
            const auto link = static_cast<std::uint32_t>(chain.size());
            auto [first, added] = firstWithId.tryEmplace(topics.english.id(response), link);
            chain.emplace_back(e, added ? None : first);
            first = link;
        }
    Scores scores(italian.size());
    Tally tally(english.size());
    for (std::size_t i = 0; i < italian.size(); ++i) {
        for (const Response& response : italian[i].responses)
            if (const std::uint32_t* found = firstWithId.find(topics.italian.id(response)))
                for (std::uint32_t link = *found; link != None; link = chain[link].second)
                    tally.add(chain[link].first, 1);
        scores[i] = tally.take();
    }
    return scores;
}

// How many responses of a topic have each list of conditions.
std::unordered_map<std::string_view, std::uint32_t> conditionCounts(const TopicSide& side,
                                                                    const DialogueTopic& topic) {
    std::unordered_map<std::string_view, std::uint32_t> counts;
    for (const Response& response : topic.responses)
        ++counts[side.conditions(response)];
    return counts;
}

// The responses alike in conditions, each counted once, between the topics that are still unpaired.
Scores scoreByConditions(const DialogueTopics& topics, const std::vector<bool>& englishPaired,
                         const std::vector<bool>& italianPaired) {
    const auto& english = topics.english.topics();
    const auto& italian = topics.italian.topics();
    std::unordered_map<std::string_view, std::vector<std::pair<std::size_t, std::uint32_t>>> byConditions;
    for (std::size_t e = 0; e < english.size(); ++e)
        if (!englishPaired[e])
            for (const auto& [conditions, count] : conditionCounts(topics.english, english[e]))
                byConditions[conditions].emplace_back(e, count);
    Scores scores(italian.size());
    Tally tally(english.size());
    for (std::size_t i = 0; i < italian.size(); ++i) {
        if (italianPaired[i])
            continue;
        for (const auto& [conditions, count] : conditionCounts(topics.italian, italian[i]))
            if (auto found = byConditions.find(conditions); found != byConditions.end())
                for (const auto& [e, englishCount] : found->second)
                    tally.add(e, std::min(count, englishCount));
        scores[i] = tally.take();
    }
    return scores;
}

} // namespace

TopicPairing pairTopics(const DialogueTopics& topics) {
    const auto& english = topics.english.topics();
    const auto& italian = topics.italian.topics();
    std::vector<bool> englishPaired(english.size());
    std::vector<bool> italianPaired(italian.size());
    TopicPairing pairing;
    auto pairWhere = [&](const Stage& stage, PairedBy by,
                         const std::function<bool(std::size_t, std::size_t)>& enough) {
        for (std::size_t i = 0; i < italian.size(); ++i) {
            if (italianPaired[i])
                continue;
            if (auto e = stage.mutualBest(i); e && enough(i, *e)) {
                pairing.pairs.push_back({*e, i, by});
                englishPaired[*e] = italianPaired[i] = true;
            }
        }
    };

    const Scores idScores = scoreByIds(topics);
    const Stage byIds(topics, idScores);
    pairWhere(byIds, PairedBy::ResponseIds, [](std::size_t, std::size_t) { return true; });

    const Scores conditionScores = scoreByConditions(topics, englishPaired, italianPaired);
    const Stage byConditions(topics, conditionScores);
    pairWhere(byConditions, PairedBy::Conditions, [&](std::size_t i, std::size_t e) {
        const std::size_t alike = 2 * std::size_t{byConditions.score(i)};
        return alike >= italian[i].responses.size() && alike >= english[e].responses.size();
    });

    std::sort(pairing.pairs.begin(), pairing.pairs.end(),
              [](const TopicPair& a, const TopicPair& b) { return a.english < b.english; });
    for (std::size_t i = 0; i < italian.size(); ++i) {
        if (italianPaired[i])
            continue;
        if (byConditions.hasCandidates(i))
            pairing.unpaired.push_back(byConditions.why(i));
        else if (byIds.hasCandidates(i))
            pairing.unpaired.push_back(byIds.why(i));
        else
            pairing.unpaired.push_back({i, UnpairedReason::NoResponseInCommon, {}, 0});
    }
    return pairing;
}

} // namespace orvella
