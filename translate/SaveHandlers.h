#pragma once

#include "records/Record.h"

#include <map>
#include <string>

namespace orvella {

struct JobState;

// Edits a record of the save in place; true keeps it in the output, false drops it.
using SaveHandler = bool (*)(Record& record, JobState& state);
using SaveHandlerMap = std::map<std::string, SaveHandler>;

bool keepRecord(Record& record, JobState& state);
bool patchHeader(Record& record, JobState& state);
bool patchDialogue(Record& record, JobState& state);
bool patchQuest(Record& record, JobState& state);
bool patchNpc(Record& record, JobState& state);
bool patchItem(Record& record, JobState& state);
bool patchKnownTopics(Record& record, JobState& state);
bool patchJournal(Record& record, JobState& state);
bool patchPlayerInventory(Record& record, JobState& state);

// The handler of each record type the conversion looks at, built at its first use and kept for the run; the
// records of every other type are written as they are.
const SaveHandlerMap& saveHandlerMap();

} // namespace orvella
