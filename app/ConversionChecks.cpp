#include "app/ConversionChecks.h"

#include "game/Expansions.h"
#include "game/UserTexts.h"

namespace orvella {

namespace {

void show(MessageBoxes& messages, WindowRef owner, const char* text, MessageIcon icon) {
    messages.show(Message{text, texts::PluginCheckCaption, icon, MessageButtons::Ok, owner});
}

} // namespace

bool checkConversionPrerequisites(WindowRef owner, const SaveInfo& save, const GameInstallation& installation,
                                  MessageBoxes& messages) {
    const char* missing = nullptr;
    if (!installation.hasMorrowindMaster)
        missing = texts::ConversionNeedsMorrowindMaster;
    else if (!installation.hasMorrowindPlugin)
        missing = texts::ConversionNeedsMorrowindPlugin;
    else if (save.usesTribunalMaster && !installation.hasTribunalMaster)
        missing = texts::ConversionNeedsTribunalMaster;
    else if (save.usesBloodmoonMaster && !installation.hasBloodmoonMaster)
        missing = texts::ConversionNeedsBloodmoonMaster;
    else if (save.direction == ItalianToEnglish && save.usesTribunalPlugin && !installation.hasTribunalPlugin)
        missing = texts::ConversionNeedsTribunalPlugin;
    else if (save.direction == ItalianToEnglish && save.usesBloodmoonPlugin &&
             !installation.hasBloodmoonPlugin)
        missing = texts::ConversionNeedsBloodmoonPlugin;
    if (missing) {
        show(messages, owner, missing, MessageIcon::Error);
        return false;
    }
    // An English save whose expansion the conversion leaves out is converted all the same.
    if (save.direction == EnglishToItalian) {
        const IncludedExpansions expansions = includedExpansions(save, installation);
        if (save.usesTribunalMaster && !expansions.tribunal)
            show(messages, owner, texts::TribunalLeftOut, MessageIcon::Warning);
        if (save.usesBloodmoonMaster && !expansions.bloodmoon)
            show(messages, owner, texts::BloodmoonLeftOut, MessageIcon::Warning);
    }
    return true;
}

} // namespace orvella
