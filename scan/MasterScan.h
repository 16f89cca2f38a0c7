#pragma once

#include "records/Record.h"
#include "scan/TranslationMap.h"

namespace orvella {

struct JobState;

// Reads the masters and the translation plugins the save needs into the job's maps; false stops the job.
bool scanMastersAndPlugins(JobState& state);

// True when the tag is one of the 14 item and spell types that the save registers.
bool isSaveItemTag(const Tag& tag);
// Adds an item the save defines itself, named alike in both languages, unless its ID is known.
void registerSaveItem(TranslationMaps& maps, const Record& record);

} // namespace orvella
