#pragma once

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

} // namespace orvella
