#pragma once

#include "game/Expansions.h"
#include "game/SaveInfo.h"
#include "scan/TranslationMap.h"
#include "translate/BuiltInTables.h"
#include "translate/DerivedTopics.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

// Source-language text -> target-language text; the first pair inserted under a key wins.
using NameMap = std::map<std::string, std::string>;

// One topic name of a link list; the texts point into the topic tables, which outlive every job, or into the
// job's own derived pairs, which outlive its link lists.
struct TopicLink {
    std::string_view from;
    std::string_view to;
    std::uint32_t fromLength = 0;
};

struct NameMaps {
    NameMap topicNameMap;
    NameMap questNameMap;
    NameMap monthNameMap;
    std::vector<TopicLink> englishTopicLinks; // longest first
    std::vector<TopicLink> italianTopicLinks; // longest first

    // The links of the language the journal is translated into.
    const std::vector<TopicLink>& targetTopicLinks(ConversionDirection direction) const {
        return direction == EnglishToItalian ? italianTopicLinks : englishTopicLinks;
    }
};

// Fills TopicNameMap and both link lists from the base table and the tables of the expansions taken in,
// each followed by the pairs derived for it.
void loadTopicTables(const TopicTables& tables, const DerivedTopicRows& derived,
                     ConversionDirection direction, const IncludedGames& included, NameMaps& names);
// Fills QuestNameMap from the journal entries that name a quest.
void buildQuestNameMap(const TranslationMaps& maps, ConversionDirection direction, NameMaps& names);
// Fills MonthNameMap from the twelve month settings; false when one is missing or has no text at all.
bool buildMonthNameMap(const TranslationMaps& maps, ConversionDirection direction, NameMaps& names);

} // namespace orvella
