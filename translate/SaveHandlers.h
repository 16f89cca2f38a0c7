#pragma once

#include "game/SaveKind.h"
#include "records/Record.h"
#include "translate/ConversionContext.h"

#include <cstdint>
#include <map>

namespace orvella {

// Edits a record of the save in place; true keeps it in the output, false drops it.
using SaveHandler = bool (*)(Record& record, ConversionContext& context);
// By Tag::key().
using SaveHandlerMap = std::map<std::uint32_t, SaveHandler>;

bool patchHeader(Record& record, ConversionContext& context);
bool patchDialogue(Record& record, ConversionContext& context);
bool patchQuest(Record& record, ConversionContext& context);
bool patchNpc(Record& record, ConversionContext& context);
bool patchItem(Record& record, ConversionContext& context);
bool patchKnownTopics(Record& record, ConversionContext& context);
bool patchJournal(Record& record, ConversionContext& context);
bool patchPlayerInventory(Record& record, ConversionContext& context);

// An OpenMW save's: the content files of its header (TES3) and of its SAVE record, the known topics (DIAS),
// one journal entry each (JOUR), and the names of the records it holds whole (NPC_ and the items).
bool patchContentFiles(Record& record, ConversionContext& context);
bool patchDependencies(Record& record, ConversionContext& context);
bool patchKnownTopicIds(Record& record, ConversionContext& context);
bool patchJournalEntry(Record& record, ConversionContext& context);
bool patchHeldName(Record& record, ConversionContext& context);

// The handler of each record type the conversion of a save of the engine looks at, built at its first use and
// kept for the run; the records of every other type are written as they are.
const SaveHandlerMap& saveHandlerMap(SaveKind kind);

} // namespace orvella
