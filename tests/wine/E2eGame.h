#pragma once

#include <cstdint>
#include <string>

namespace orvella::driver {

// The saves of the Wine tests' game folder besides the demo save.
inline constexpr const char* UntranslatedSave = "Journal0002.ess";
inline constexpr const char* ExpansionsSave = "Expansions0003.ess";
inline constexpr const char* BetaSave = "Beta0004.ess";
inline constexpr const char* ItalianSave = "Italian0005.ess";

// Writes the game folder of the Wine tests: the demo game, a save of every kind the list tells apart, files
// in "Saves" that are no saves, and the game's executable, a stand-in whose version resource says
// 1.<minor>.0.1820. False when a file cannot be written.
bool writeE2eGame(const std::string& folder, const std::string& gameStub, std::uint16_t minor);

} // namespace orvella::driver
