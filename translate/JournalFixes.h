#pragma once

namespace orvella {

struct JobState;

void addJournalFixes(JobState& state);

} // namespace orvella
