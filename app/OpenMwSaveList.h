#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvella {

struct OpenMwSlot {
    std::string fileName;                         // "SLOT.omwsave"
    std::optional<std::int64_t> modificationTime; // nanoseconds since 1970; nothing when it cannot be read
};

struct OpenMwCharacter {
    std::string name;              // the character's folder in saves
    std::vector<OpenMwSlot> slots; // newest first
};

// The saves as OpenMW's load menu shows them, and whether listing a folder failed (the characters then hold
// what could be listed).
struct OpenMwSaveListing {
    std::vector<OpenMwCharacter> characters;
    bool readFailed = false;
};

// The characters (the folders of saves) that hold saves (files named "*.omwsave", in any case of letters),
// the one with the newest save first, each with its saves newest first, as OpenMW's load menu orders them; a
// save whose time is unknown comes after the others, and a tie goes by name. A missing saves folder holds
// none.
OpenMwSaveListing listOpenMwSaves(FileSystem& files, const std::string& savesFolder);

} // namespace orvella
