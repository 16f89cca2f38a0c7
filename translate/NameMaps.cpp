#include "translate/NameMaps.h"

namespace orvella {

// The topic tables, quest and month names are built in a later step; until then the maps stay empty.
void loadTopicTables(JobState&) {}
void buildQuestNameMap(JobState&) {}
bool buildMonthNameMap(JobState&) { return true; }

} // namespace orvella
