#pragma once

#include "FaultInjectingFileSystem.h"
#include "RecordingUi.h"
#include "game/SavePaths.h"
#include "gamebuilder/DemoGame.h"
#include "gamebuilder/GameBuilder.h"
#include "job/PatchJob.h"

#include <string>

namespace orvella::test {

// Where the demo game lies in a file system held in memory.
inline constexpr const char* InMemoryGame = "C:\\Games\\Morrowind";

// Writes the demo game into the file system at InMemoryGame and gives its installation.
inline GameInstallation installDemoGame(FaultInjectingFileSystem& files) {
    demo::writeDemoGame(files, InMemoryGame);
    return demo::demoInstallation(InMemoryGame);
}

// What the main dialog knows of a save of the demo game: its masters and plugins, and its direction.
inline SaveInfo saveInfoFor(ConversionDirection direction) {
    return {.games = {UsedGame{true, direction == ItalianToEnglish}}, .direction = direction};
}

// The parameters of a conversion of a save in the game's "Saves" folder, with the built-in tables.
inline PatchJob jobFor(const GameInstallation& installation, FileSystem& files, MessageBoxes& messages,
                       ProgressView& progress, const std::string& saveFileName,
                       ConversionDirection direction) {
    const PatchRequest request{saveFileName, saveInfoFor(direction)};
    return {&installation, &files, &messages, &progress, nullptr, nullptr, request};
}

// Converted to English, this save only loses its deleted topic, logging it and the quest it cannot find.
inline const std::string PlainSave =
    build::GameFileBuilder({.kind = build::FileKind::Save, .masters = {{"Morrowind.esm", 1234}}})
        .add(build::RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth"))
        .add(build::RecordBuilder("DIAL")
                 .text("NAME", "old rumour")
                 .sub("DATA", std::string(1, '\0'))
                 .sub("DELE", ""))
        .add(build::RecordBuilder("QUES").text("NAME", "A quest"))
        .bytes();

// Conversions of saves put in the demo game held in memory, recording what the worker shows.
struct JobHarness {
    PatchResult run(const std::string& saveFileName, ConversionDirection direction) {
        messages = RecordingMessageBoxes();
        progress.calls.clear();
        progress.result.reset();
        PatchJob job = jobFor(installation, files, messages, progress, saveFileName, direction);
        job.request.classifyAgain = classifyAgain;
        job.request.saveInfo.formatVersion = formatVersion;
        return result = runPatchJob(job);
    }
    // Writes the bytes as the save, converts it and gives the save's bytes afterwards.
    std::string convert(const std::string& name, const std::string& bytes, ConversionDirection direction) {
        files.writeFile(save(name), bytes);
        run(name, direction);
        return files.readFile(save(name)).value_or("");
    }
    std::string save(const std::string& name) const { return SavePaths(installation, name).save; }

    FaultInjectingFileSystem files;
    GameInstallation installation = installDemoGame(files);
    SaveClassifier classifyAgain = nullptr;
    std::uint32_t formatVersion = 0; // of the OpenMW saves converted
    RecordingMessageBoxes messages;
    RecordingProgress progress;
    PatchResult result;
};

} // namespace orvella::test
