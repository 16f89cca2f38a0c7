#pragma once

#include "app/PatchRequest.h"
#include "game/GameInstallation.h"
#include "game/SaveInfo.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgressView.h"

#include <cstdint>
#include <string>

namespace orvella {

struct TopicTables;

// The parameters of one conversion, and the platform it reaches the world through.
struct PatchJob {
    const GameInstallation* installation = nullptr;
    FileSystem* files = nullptr;
    MessageBoxes* messages = nullptr;
    ProgressView* progressDialog = nullptr;
    WindowRef ownerWindow = nullptr;     // the worker's message boxes have no owner
    const TopicTables* tables = nullptr; // null: the tables built into the program
    SaveInfo saveInfo;
    PatchRequest request;
};

struct PatchResult {
    std::uint32_t exitCode = 1;
    std::string outcomeText;
    std::string logPath;     // kept after the job, for the report
    bool logKept = false;    // the log file is still beside the save
    bool logOffered = false; // "Visualizza LOG" was shown
};

// Converts one save from start to end; every path ends with the job's data released and "OK" enabled.
PatchResult runPatchJob(const PatchJob& job);

} // namespace orvella
