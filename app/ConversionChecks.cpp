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

} // namespace

bool checkConversionPrerequisites(WindowRef owner, const SaveInfo& save, const GameInstallation& installation,
                                  MessageBoxes& messages) {
    const char* missing = nullptr;
    if (!installation.hasMorrowindMaster)
        missing = NoMorrowindMaster;
    else if (!installation.hasMorrowindPlugin)
        missing = NoMorrowindPlugin;
    else if (save.usesTribunalMaster && !installation.hasTribunalMaster)
        missing = NoTribunalMaster;
    else if (save.usesBloodmoonMaster && !installation.hasBloodmoonMaster)
        missing = NoBloodmoonMaster;
    else if (save.direction == ItalianToEnglish && save.usesTribunalPlugin && !installation.hasTribunalPlugin)
        missing = NoTribunalPlugin;
    else if (save.direction == ItalianToEnglish && save.usesBloodmoonPlugin &&
             !installation.hasBloodmoonPlugin)
        missing = NoBloodmoonPlugin;
    if (missing) {
        show(messages, owner, missing, MessageIcon::Error);
        return false;
    }
    // An English save whose expansion the conversion leaves out is converted all the same.
    if (save.direction == EnglishToItalian) {
        const IncludedExpansions expansions = includedExpansions(save, installation);
        if (save.usesTribunalMaster && !expansions.tribunal)
            show(messages, owner, TribunalWithoutPlugin, MessageIcon::Warning);
        if (save.usesBloodmoonMaster && !expansions.bloodmoon)
            show(messages, owner, BloodmoonWithoutPlugin, MessageIcon::Warning);
    }
    return true;
}

} // namespace orvella
