#pragma once

#include "game/GameInstallation.h"
#include "platform/FileSystem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvella {

// What an OpenMW save's SAVE record tells of it, its texts in UTF-8.
struct OpenMwSaveSummary {
    std::string playerName;
    std::int32_t level = 0;
    std::string cellName;
    std::string description;
    std::vector<std::string> contentFiles; // the files the game lacks marked "**"
};

// The summary of a save of the installation, or nothing when it cannot be read or has no SAVE record.
std::optional<OpenMwSaveSummary>
readOpenMwSaveSummary(FileSystem& files, const GameInstallation& installation, const std::string& saveName);

} // namespace orvella
