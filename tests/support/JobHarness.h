#pragma once

#include "DemoJob.h"
#include "RecordingUi.h"
#include "TestFolder.h"
#include "gamebuilder/GameBuilder.h"

#include <cstdio>
#include <string>

namespace orvella::test {

// The demo game's master and translation plugin, without its save, in a game folder on the machine, and
// conversions of the saves put there, recording what the worker shows.
struct JobHarness {
    JobHarness() {
        demo::writeDemoGame(nativeFileSystem(), game.path());
        std::remove(game.save(demo::DemoSaveName).c_str());
    }

    PatchResult run(const std::string& saveFileName, ConversionDirection direction = EnglishToItalian) {
        messages = RecordingMessageBoxes();
        progress = RecordingProgress();
        PatchJob job = jobFor(installation, jobFiles ? *jobFiles : nativeFileSystem(), messages, progress,
                              saveFileName, direction);
        job.tables = tables;
        job.request.saveInfo = saveInfo;
        job.request.saveInfo.direction = direction;
        job.request.classifyAgain = classifyAgain;
        job.saveInfo = job.request.saveInfo;
        return runPatchJob(job);
    }
    // Writes the bytes as the save, converts it and gives the save's bytes afterwards.
    std::string convert(const std::string& name, const std::string& bytes, ConversionDirection direction) {
        build::writeBytes(game.save(name), bytes);
        result = run(name, direction);
        return build::readBytes(game.save(name));
    }

    GameFolder game;
    GameInstallation installation = demo::demoInstallation(game.path());
    FileSystem* jobFiles = nullptr; // the machine's when not set
    const TopicTables* tables = nullptr;
    SaveInfo saveInfo;
    SaveClassifier classifyAgain = nullptr;
    RecordingMessageBoxes messages;
    RecordingProgress progress;
    PatchResult result;
};

} // namespace orvella::test
