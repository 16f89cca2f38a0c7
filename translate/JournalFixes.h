#pragma once

#include "scan/TranslationMap.h"
#include "translate/BuiltInTables.h"

#include <span>

namespace orvella {

// Adds the journal table's entries to JournalEntryMap under IDs of their own, which sort before the game's.
void addJournalFixes(std::span<const JournalFixRow> rows, TranslationMaps& maps);

} // namespace orvella
