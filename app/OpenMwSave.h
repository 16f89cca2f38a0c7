#pragma once

#include "app/OpenMwLocations.h"

#include <optional>
#include <string>

namespace orvella {

inline constexpr const char* OpenMwSaveExtension = ".omwsave";

// One save of OpenMW, as "CHARACTER/SLOT.omwsave" names it.
struct OpenMwSaveName {
    std::string character; // the character's folder in saves
    std::string slot;      // the save's file name in that folder, "SLOT.omwsave"
};

// The save's name, or the problem with the text, in English.
struct OpenMwSaveNameCheck {
    std::optional<OpenMwSaveName> name;
    std::string problem;
};

// Splits the text at its one "/"; each part must be a plain name, as a save name of the Saves folder must be:
// not empty, not "." or "..", without "/", "\\" or ":".
OpenMwSaveNameCheck checkOpenMwSaveName(const std::string& text);

// The files of one save: the save itself and, in the character's folder of the backups, its backup and log.
struct OpenMwSavePaths {
    std::string save;         // saves\CHARACTER\SLOT.omwsave
    std::string backupFolder; // LRK Saves Backup\CHARACTER
    std::string backup;       // LRK Saves Backup\CHARACTER\SLOT.omwsave.bak
    std::string log;          // LRK Saves Backup\CHARACTER\SLOT.log
};

// The log's name drops the slot's ".omwsave" (in any case of letters) before ".log"; a slot without it keeps
// its whole name.
OpenMwSavePaths openMwSavePaths(const OpenMwLocations& locations, const OpenMwSaveName& name);

} // namespace orvella
