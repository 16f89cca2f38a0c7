#include "game/Expansions.h"

namespace orvella {

namespace {

bool takenIn(ConversionDirection direction, const UsedGame& used, const InstalledGame& installed) {
    return used.master && ((direction == ItalianToEnglish && used.plugin) ||
                           (direction == EnglishToItalian && installed.hasPlugin));
}

} // namespace

IncludedGames includedGames(const SaveInfo& save, const GameInstallation& installation) {
    IncludedGames taken;
    for (Game game : AllExpansions)
        taken.games[indexOf(game)] = takenIn(save.direction, save.used(game), installation.installed(game));
    return taken;
}

std::vector<PluginEntry> translationPlugins(const SaveInfo& save, const GameInstallation& installation) {
    std::vector<PluginEntry> plugins;
    const IncludedGames included = includedGames(save, installation);
    for (Game game : AllGames)
        if (save.direction != EnglishToItalian || included.includes(game))
            plugins.push_back(
                {installation.installed(game).pluginName, installation.installed(game).pluginSize});
    return plugins;
}

} // namespace orvella
