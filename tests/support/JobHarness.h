#pragma once

#include "DemoJob.h"
#include "RecordingUi.h"
#include "TestFolder.h"

#include <cstdio>
#include <string>

namespace orvella::test {

// Runs conversions of saves in a game folder on the machine, recording what the worker shows.
struct JobHarness {
    explicit JobHarness(const GameFolder& folder) { installation.installPath = folder.path(); }

    // The demo game's master and translation plugin, without its save, and their installation.
    void writeDemoGame(const GameFolder& folder) {
        demo::writeDemoGame(nativeFileSystem(), folder.path());
        std::remove(folder.save(demo::DemoSaveName).c_str());
        installation = demo::demoInstallation(folder.path());
    }

    PatchResult run(const std::string& saveFileName, ConversionDirection direction = EnglishToItalian) {
        messages = RecordingMessageBoxes();
        progress = RecordingProgress();
        PatchJob job = jobFor(installation, files ? *files : nativeFileSystem(), messages, progress,
                              saveFileName, direction);
        job.tables = tables;
        job.request.saveInfo = saveInfo;
        job.request.saveInfo.direction = direction;
        job.request.classifyAgain = classifyAgain;
        job.saveInfo = job.request.saveInfo;
        return runPatchJob(job);
    }

    GameInstallation installation;
    FileSystem* files = nullptr;
    const TopicTables* tables = nullptr;
    SaveInfo saveInfo;
    SaveClassifier classifyAgain = nullptr;
    RecordingMessageBoxes messages;
    RecordingProgress progress;
};

} // namespace orvella::test
