#pragma once

#include "DemoJob.h"
#include "RecordingUi.h"
#include "gamebuilder/GameBuilder.h"

#include <string>

namespace orvella::test {

// Converting to English a save that lists no translation plugin changes none of its records but drops the
// deleted topic, and logs it and the quest it cannot find.
inline const std::string PlainSave =
    build::GameFileBuilder({.kind = build::FileKind::Save, .masters = {{"Morrowind.esm", 1234}}})
        .add(build::RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth"))
        .add(build::RecordBuilder("DIAL")
                 .text("NAME", "old rumour")
                 .sub("DATA", std::string(1, '\0'))
                 .sub("DELE", ""))
        .add(build::RecordBuilder("QUES").text("NAME", "A quest"))
        .bytes();

// The demo game in a file system held in memory, and conversions of the saves put there, recording what the
// worker shows.
struct JobHarness {
    PatchResult run(const std::string& saveFileName, ConversionDirection direction) {
        messages = RecordingMessageBoxes();
        progress = RecordingProgress();
        PatchJob job = jobFor(installation, files, messages, progress, saveFileName, direction);
        job.request.classifyAgain = classifyAgain;
        return result = runPatchJob(job);
    }
    // Writes the bytes as the save, converts it and gives the save's bytes afterwards.
    std::string convert(const std::string& name, const std::string& bytes, ConversionDirection direction) {
        files.writeFile(save(name), bytes);
        run(name, direction);
        return files.readFile(save(name)).value_or("");
    }
    std::string save(const std::string& name) const { return savePath(installation, name); }

    FaultInjectingFileSystem files;
    GameInstallation installation = installDemoGame(files);
    SaveClassifier classifyAgain = nullptr;
    RecordingMessageBoxes messages;
    RecordingProgress progress;
    PatchResult result;
};

} // namespace orvella::test
