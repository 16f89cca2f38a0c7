#pragma once

#include "game/GameInstallation.h"
#include "game/SaveInfo.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvella {

// The games a conversion takes in, the base game always: their masters and translation plugins are
// scanned, their topic tables loaded, and an English save's header gains their plugins.
struct IncludedGames {
    std::array<bool, GameCount> games = {true, false, false};

    bool includes(Game game) const { return games[indexOf(game)]; }
};

// An expansion is taken in when the save uses its master and its translation is at hand for the direction:
// an Italian save must list the translation plugin, an English one needs it installed. A save of any other
// direction takes in none.
IncludedGames includedGames(const SaveInfo& save, const GameInstallation& installation);

// A translation plugin as a save's header lists it: its file name and its length in bytes.
struct PluginEntry {
    std::string name;
    std::uint32_t size = 0;
};

// The translation plugins that the conversion of the save changes in its header, Morrowind's first: for an
// English save those it gains, the expansions' only when taken in; for any other save the three whose
// entries it loses, whatever it uses.
std::vector<PluginEntry> translationPlugins(const SaveInfo& save, const GameInstallation& installation);

} // namespace orvella
