#pragma once

#include "records/Record.h"

namespace orvella {

struct JobState;

bool keepRecord(Record& record, JobState& state);
bool patchHeader(Record& record, JobState& state);
bool patchDialogue(Record& record, JobState& state);
bool patchQuest(Record& record, JobState& state);
bool patchNpc(Record& record, JobState& state);
bool patchItem(Record& record, JobState& state);
bool patchKnownTopics(Record& record, JobState& state);
bool patchJournal(Record& record, JobState& state);
bool patchPlayerInventory(Record& record, JobState& state);

} // namespace orvella
