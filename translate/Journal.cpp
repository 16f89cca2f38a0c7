#include "translate/SaveHandlers.h"

namespace orvella {

// The journal translation arrives in a later step; until then the journal is kept as it is.
bool patchJournal(Record& record, JobState& state) { return keepRecord(record, state); }

} // namespace orvella
