#pragma once

#include "game/GameInstallation.h"
#include "job/PatchRequest.h"
#include "job/PatchResult.h"
#include "job/ProgressView.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "translate/BuiltInTables.h"

namespace orvella {

// The parameters of one conversion, and the platform it reaches the world through.
struct PatchJob {
    const GameInstallation* installation = nullptr;
    FileSystem* files = nullptr;
    MessageBoxes* messages = nullptr;
    ProgressView* progressDialog = nullptr;
    WindowRef ownerWindow = nullptr;     // the worker's message boxes have no owner
    const TopicTables* tables = nullptr; // null: the tables built into the program
    PatchRequest request;                // the save, with what it was made with
};

// Converts one save from start to end; every path ends with the job's data released and the result told to
// the progress view.
PatchResult runPatchJob(const PatchJob& job);

} // namespace orvella
