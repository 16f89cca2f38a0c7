#pragma once

#include <string>

namespace orvella::demo {

inline constexpr const char* DemoSaveName = "Demo0001.ess";

// Writes a small synthetic game folder: "Data Files" with a master and its translation plugin, and
// "Saves" with an English save. False when a file cannot be written.
bool writeDemoGame(const std::string& folder);

} // namespace orvella::demo
