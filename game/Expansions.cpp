#include "game/Expansions.h"

namespace orvella {

namespace {

bool included(const SaveInfo& save, bool usesMaster, bool usesPlugin, bool hasPlugin) {
    return (save.direction == ItalianToEnglish && usesMaster && usesPlugin) ||
           (save.direction == EnglishToItalian && usesMaster && hasPlugin);
}

} // namespace

IncludedExpansions includedExpansions(const SaveInfo& save, const GameInstallation& installation) {
    return {
        included(save, save.usesTribunalMaster, save.usesTribunalPlugin, installation.hasTribunalPlugin),
        included(save, save.usesBloodmoonMaster, save.usesBloodmoonPlugin, installation.hasBloodmoonPlugin)};
}

std::vector<PluginEntry> translationPlugins(const SaveInfo& save, const GameInstallation& installation) {
    std::vector<PluginEntry> plugins{{MorrowindPluginName, installation.morrowindPluginSize}};
    const IncludedExpansions expansions = includedExpansions(save, installation);
    const bool toItalian = save.direction == EnglishToItalian;
    if (!toItalian || expansions.tribunal)
        plugins.push_back({installation.tribunalPluginName, installation.tribunalPluginSize});
    if (!toItalian || expansions.bloodmoon)
        plugins.push_back({BloodmoonPluginName, installation.bloodmoonPluginSize});
    return plugins;
}

} // namespace orvella
