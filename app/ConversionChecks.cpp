#include "app/ConversionChecks.h"

#include "game/Expansions.h"
#include "game/UserTexts.h"

namespace orvella {

namespace {

void show(MessageBoxes& messages, WindowRef owner, const char* text, MessageIcon icon) {
    messages.show(Message{text, texts::PluginCheckCaption, icon, MessageButtons::Ok, owner});
}

// The first file the conversion needs and the game lacks, as its message: the base game's master and plugin,
// then the expansions' masters that the save uses, then the expansions' plugins that an Italian save lists.
const char* missingFile(const SaveInfo& save, const GameInstallation& installation) {
    constexpr std::array<const char*, GameCount> noMaster = {texts::ConversionNeedsMorrowindMaster,
                                                             texts::ConversionNeedsTribunalMaster,
                                                             texts::ConversionNeedsBloodmoonMaster};
    constexpr std::array<const char*, GameCount> noPlugin = {texts::ConversionNeedsMorrowindPlugin,
                                                             texts::ConversionNeedsTribunalPlugin,
                                                             texts::ConversionNeedsBloodmoonPlugin};
    const InstalledGame& base = installation.installed(Game::Base);
    if (!base.hasMaster)
        return noMaster[indexOf(Game::Base)];
    if (!base.hasPlugin)
        return noPlugin[indexOf(Game::Base)];
    for (Game game : AllExpansions)
        if (save.used(game).master && !installation.installed(game).hasMaster)
            return noMaster[indexOf(game)];
    for (Game game : AllExpansions)
        if (save.direction == ItalianToEnglish && save.used(game).plugin &&
            !installation.installed(game).hasPlugin)
            return noPlugin[indexOf(game)];
    return nullptr;
}

} // namespace

bool checkConversionPrerequisites(WindowRef owner, const SaveInfo& save, const GameInstallation& installation,
                                  MessageBoxes& messages) {
    if (const char* missing = missingFile(save, installation)) {
        show(messages, owner, missing, MessageIcon::Error);
        return false;
    }
    // An English save whose expansion the conversion leaves out is converted all the same.
    constexpr std::array<const char*, GameCount> withoutPlugin = {nullptr, texts::TribunalLeftOut,
                                                                  texts::BloodmoonLeftOut};
    if (save.direction == EnglishToItalian) {
        const IncludedGames included = includedGames(save, installation);
        for (Game game : AllExpansions)
            if (save.used(game).master && !included.includes(game))
                show(messages, owner, withoutPlugin[indexOf(game)], MessageIcon::Warning);
    }
    return true;
}

} // namespace orvella
