#pragma once

#include "game/GameInstallation.h"
#include "platform/FileSystem.h"

#include <string>

namespace orvella::demo {

inline constexpr const char* DemoSaveName = "Demo0001.ess";

// The demo game, with made-up texts in both languages: a master and its translation plugin with the month
// settings, characters, items of every kind, a spell, a rumours topic that the translation renames, two
// quests whose journal entries name the player and topics, and a creature and a cell that no map keeps. The
// plugin also has a topic of its own that no English topic answers to.
std::string demoMaster();
std::string demoPlugin();
// The English save the demo writes, with every kind of record the conversion touches: the header, known and
// deleted topics, quests, characters, items and one the player made, known topics, a dated journal whose
// paragraphs every entry knows, and the player's equipped inventory.
std::string demoEnglishSave();
// The same save in Italian, whose journal keeps one paragraph that no entry knows.
std::string demoItalianSave();

// The demo's save as OpenMW writes it at a save format version, in English or in Italian: the journal's
// entries (one of which no response of the game answers), the known topics, the player, a book and a blade
// the player made.
std::string demoOpenMwSave(bool english, std::uint32_t version);
inline constexpr const char* DemoOpenMwUserData = "OpenMW";
inline constexpr const char* DemoOpenMwSaveName = "Nerevar\\Demo.omwsave";

// Writes the game folder through the file system, making the folders that are missing: "Data Files" with
// the master and the plugin, "Saves" with the English save and an empty "LRK Saves Backup". False when a
// file cannot be written.
bool writeDemoGame(FileSystem& files, const std::string& folder);
// The installation start-up finds in that folder.
GameInstallation demoInstallation(const std::string& folder);

// Writes "Data Files" with the master and the plugin, an "openmw.cfg" that names it and the user data
// folder "OpenMW", and in that folder the English save "saves\Nerevar\Demo.omwsave" of the newest format.
bool writeDemoOpenMwGame(FileSystem& files, const std::string& folder);
// The installation that OpenMW's files of that folder give.
GameInstallation demoOpenMwInstallation(FileSystem& files, const std::string& folder);

} // namespace orvella::demo
