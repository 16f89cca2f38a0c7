#pragma once

#include "MemoryFileSystem.h"
#include "game/GameInstallation.h"
#include "game/SaveInfo.h"
#include "job/PatchJob.h"
#include "translate/BuiltInTables.h"

#include <string>

namespace orvella::test {

// A small game with made-up texts that exercises every save handler: a master and its translation plugin
// with the month settings, characters, items, topics, a quest and journal entries, topic tables of their
// own, and an English and an Italian save with every kind of record the conversion touches (header, a kept
// and a deleted topic, quests, characters, items, known topics, a dated journal, the player's equipped
// inventory). Kept in memory, so that thousands of conversions take a few seconds.
namespace smallgame {

inline constexpr const char* InstallPath = "C:\\Games\\Morrowind";

std::string master();
std::string plugin();
const TopicTables& tables();
// Every paragraph of its journal is a known entry, so its conversion deletes the log.
std::string englishSave();
// Its journal keeps one paragraph that no entry knows, so its conversion keeps and offers the log.
std::string italianSave();

// What the main dialog knows of a save: the masters and plugins its header lists, and its direction.
SaveInfo saveInfoFor(ConversionDirection direction);

// Creates the game's folders in the file system, writes the master and the plugin, and describes them.
void install(MemoryFileSystem& files, GameInstallation& installation);

std::string savePath(const std::string& saveFileName);
std::string backupPath(const std::string& saveFileName);

// The parameters of a conversion of a save in the game's "Saves" folder.
PatchJob jobFor(const GameInstallation& installation, FileSystem& files, MessageBoxes& messages,
                ProgressView& progress, const std::string& saveFileName, ConversionDirection direction);

} // namespace smallgame
} // namespace orvella::test
