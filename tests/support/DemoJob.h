#pragma once

#include "FaultInjectingFileSystem.h"
#include "gamebuilder/DemoGame.h"
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

inline std::string savePath(const GameInstallation& installation, const std::string& saveFileName) {
    return installation.installPath + SavesFolder + saveFileName;
}

inline std::string backupPath(const GameInstallation& installation, const std::string& saveFileName) {
    return installation.installPath + BackupFolder + saveFileName + ".bak";
}

// What the main dialog knows of a save of the demo game: its masters and plugins, and its direction.
inline SaveInfo saveInfoFor(ConversionDirection direction) {
    return {.usesMorrowindMaster = true,
            .usesMorrowindPlugin = direction == ItalianToEnglish,
            .direction = direction};
}

// The parameters of a conversion of a save in the game's "Saves" folder, with the built-in tables.
inline PatchJob jobFor(const GameInstallation& installation, FileSystem& files, MessageBoxes& messages,
                       ProgressView& progress, const std::string& saveFileName,
                       ConversionDirection direction) {
    PatchJob job{.installation = &installation,
                 .files = &files,
                 .messages = &messages,
                 .progressDialog = &progress,
                 .saveInfo = saveInfoFor(direction)};
    job.request = {saveFileName, job.saveInfo};
    return job;
}

} // namespace orvella::test
