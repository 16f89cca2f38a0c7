#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

struct JobState;

// Source-language text → target-language text; the first pair inserted under a key wins.
using NameMap = std::map<std::string, std::string>;

// One topic name of a link list; the texts point into the topic tables, which outlive every job.
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
};

void loadTopicTables(JobState& state);
void buildQuestNameMap(JobState& state);
bool buildMonthNameMap(JobState& state);

} // namespace orvella
