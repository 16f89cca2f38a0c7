#pragma once

#include "RecordingUi.h"
#include "TestFolder.h"
#include "job/PatchJob.h"
#include "translate/BuiltInTables.h"

#include <string>

namespace orvella::test {

// Runs conversions of saves in a game folder, recording what the worker shows.
struct JobHarness {
    explicit JobHarness(const GameFolder& folder) { installation.installPath = folder.path(); }

    PatchResult run(const std::string& saveFileName, ConversionDirection direction = EnglishToItalian) {
        messages = RecordingMessageBoxes();
        progress = RecordingProgress();
        PatchJob job;
        job.installation = &installation;
        job.files = files ? files : &nativeFileSystem();
        job.tables = tables;
        job.messages = &messages;
        job.progressDialog = &progress;
        job.request.saveFileName = saveFileName;
        job.request.saveInfo = saveInfo;
        job.request.saveInfo.direction = direction;
        job.saveInfo = job.request.saveInfo;
        return runPatchJob(job);
    }

    GameInstallation installation;
    FileSystem* files = nullptr;
    const TopicTables* tables = nullptr;
    SaveInfo saveInfo;
    RecordingMessageBoxes messages;
    RecordingProgress progress;
};

} // namespace orvella::test
