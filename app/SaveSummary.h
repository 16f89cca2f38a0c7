#pragma once

#include "app/SummaryView.h"
#include "game/GameInstallation.h"
#include "game/SaveInfo.h"
#include "platform/FileSystem.h"

#include <string>

namespace orvella {

// Empties the summary area: no master lines, no text, an empty picture.
void clearSummary(SummaryView& view);

// Shows the summary of installPath + "\\Saves\\" + saveFileName from its header record: the master files
// (those missing from "Data Files" marked "**"), the screenshot and the summary text, and copies the
// summary values into saveInfo. False, with nothing shown and saveInfo untouched, when the save cannot be
// opened or read or its header lacks HEDR, GMDT or SCRS.
bool showSaveSummary(SummaryView& view, FileSystem& files, const GameInstallation& installation,
                     const std::string& saveFileName, SaveInfo& saveInfo);

// The summary box's text for the save's summary fields.
std::string summaryText(const SaveInfo& saveInfo);

} // namespace orvella
