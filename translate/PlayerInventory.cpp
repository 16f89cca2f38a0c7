#include "translate/SaveHandlers.h"

namespace orvella {

// The inventory re-sort arrives in a later step; until then the inventory is kept as it is.
bool patchPlayerInventory(Record& record, JobState& state) { return keepRecord(record, state); }

} // namespace orvella
