#include "app/ConversionChecks.h"

#include "game/Expansions.h"

namespace orvella {

namespace {

constexpr const char* NoMorrowindMaster =
    "Impossibile effettuare una conversione senza il Master File di Morrowind.";
constexpr const char* NoMorrowindPlugin =
    "Impossibile effettuare una conversione senza il plugin LRK versione finale di Morrowind.";
// The doubled "di di" of the next two is kept as the program has always written it.
constexpr const char* NoTribunalMaster =
    "Per questa conversione \xE8 necessario avere il Master File di di Tribunal.";
constexpr const char* NoBloodmoonMaster =
    "Per questa conversione \xE8 necessario avere il Master File di di Bloodmoon.";
constexpr const char* NoTribunalPlugin =
    "Per questa conversione \xE8 necessario avere il plugin LRK di Tribunal.";
constexpr const char* NoBloodmoonPlugin =
    "Per questa conversione \xE8 necessario avere il plugin LRK di Bloodmoon.";
constexpr const char* TribunalWithoutPlugin =
    "Per questa conversione sarebbe necessario il plugin di Traduzione di Tribunal.\n"
    "Il salvataggio sar\xE0 convertito come se Tribunal non fosse installato.";
constexpr const char* BloodmoonWithoutPlugin =
    "Per questa conversione sarebbe necessario il plugin di Traduzione di Bloodmoon.\n"
    "Il salvataggio sar\xE0 convertito come se Bloodmoon non fosse installato.";

void show(MessageBoxes& messages, WindowRef owner, const char* text, MessageIcon icon) {
    messages.show(Message{text, PluginCheckCaption, icon, MessageButtons::Ok, owner});
}

// The first file the conversion needs and the game lacks, as its message: the base game's master and plugin,
// then the expansions' masters that the save uses, then the expansions' plugins that an Italian save lists.
const char* missingFile(const SaveInfo& save, const GameInstallation& installation) {
    constexpr std::array<const char*, GameCount> noMaster = {NoMorrowindMaster, NoTribunalMaster,
                                                             NoBloodmoonMaster};
    constexpr std::array<const char*, GameCount> noPlugin = {NoMorrowindPlugin, NoTribunalPlugin,
                                                             NoBloodmoonPlugin};
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
    constexpr std::array<const char*, GameCount> withoutPlugin = {nullptr, TribunalWithoutPlugin,
                                                                  BloodmoonWithoutPlugin};
    if (save.direction == EnglishToItalian) {
        const IncludedGames included = includedGames(save, installation);
        for (Game game : AllExpansions)
            if (save.used(game).master && !included.includes(game))
                show(messages, owner, withoutPlugin[indexOf(game)], MessageIcon::Warning);
    }
    return true;
}

} // namespace orvella
