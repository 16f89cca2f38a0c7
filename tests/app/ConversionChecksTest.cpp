#include "app/ConversionChecks.h"
#include "RecordingUi.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using test::RecordingMessageBoxes;

const std::string NoMorrowindMaster =
    "Impossibile effettuare una conversione senza il Master File di Morrowind.";
const std::string NoMorrowindPlugin =
    "Impossibile effettuare una conversione senza il plugin LRK versione finale di Morrowind.";
const std::string NoTribunalMaster =
    "Per questa conversione \xE8 necessario avere il Master File di di Tribunal.";
const std::string NoBloodmoonMaster =
    "Per questa conversione \xE8 necessario avere il Master File di di Bloodmoon.";
const std::string NoTribunalPlugin =
    "Per questa conversione \xE8 necessario avere il plugin LRK di Tribunal.";
const std::string NoBloodmoonPlugin =
    "Per questa conversione \xE8 necessario avere il plugin LRK di Bloodmoon.";
const std::string TribunalWarning =
    "Per questa conversione sarebbe necessario il plugin di Traduzione di Tribunal.\n"
    "Il salvataggio sar\xE0 convertito come se Tribunal non fosse installato.";
const std::string BloodmoonWarning =
    "Per questa conversione sarebbe necessario il plugin di Traduzione di Bloodmoon.\n"
    "Il salvataggio sar\xE0 convertito come se Bloodmoon non fosse installato.";

int ownerWindow;

GameInstallation everythingInstalled() {
    GameInstallation installation;
    installation.hasMorrowindMaster = installation.hasMorrowindPlugin = true;
    installation.hasTribunalMaster = installation.hasTribunalPlugin = true;
    installation.hasBloodmoonMaster = installation.hasBloodmoonPlugin = true;
    return installation;
}

SaveInfo usingEverything(ConversionDirection direction) {
    SaveInfo save;
    save.usesMorrowindMaster = save.usesTribunalMaster = save.usesBloodmoonMaster = true;
    if (direction == ItalianToEnglish)
        save.usesMorrowindPlugin = save.usesTribunalPlugin = save.usesBloodmoonPlugin = true;
    save.direction = direction;
    return save;
}

struct ConversionChecksTest : testing::Test {
    RecordingMessageBoxes messages;
    GameInstallation installation = everythingInstalled();

    bool check(const SaveInfo& save) {
        messages.shown.clear();
        return checkConversionPrerequisites(&ownerWindow, save, installation, messages);
    }
    std::vector<std::string> texts(MessageIcon icon) const {
        std::vector<std::string> out;
        for (const Message& message : messages.shown) {
            EXPECT_EQ(message.caption, "Controllo Plugin");
            EXPECT_EQ(message.buttons, MessageButtons::Ok);
            EXPECT_EQ(message.owner, &ownerWindow);
            if (message.icon == icon)
                out.push_back(message.text);
        }
        return out;
    }
    void expectError(const SaveInfo& save, const std::string& text) {
        EXPECT_FALSE(check(save));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(texts(MessageIcon::Error), std::vector<std::string>{text});
    }
};

TEST_F(ConversionChecksTest, EverythingInstalledPassesSilentlyInEveryDirection) {
    for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish, BetaUnsupported}) {
        EXPECT_TRUE(check(usingEverything(direction)));
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST_F(ConversionChecksTest, TheMorrowindFilesComeFirstWhateverTheSave) {
    installation = GameInstallation();
    for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish, BetaUnsupported})
        expectError(usingEverything(direction), NoMorrowindMaster);
    expectError(SaveInfo(), NoMorrowindMaster);

    installation.hasMorrowindMaster = true;
    for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish, BetaUnsupported})
        expectError(usingEverything(direction), NoMorrowindPlugin);
}

TEST_F(ConversionChecksTest, ErrorsComeOneAtATimeInTheirOrder) {
    installation = GameInstallation();
    installation.hasMorrowindMaster = installation.hasMorrowindPlugin = true;
    SaveInfo italian = usingEverything(ItalianToEnglish);
    expectError(italian, NoTribunalMaster);
    installation.hasTribunalMaster = true;
    expectError(italian, NoBloodmoonMaster);
    installation.hasBloodmoonMaster = true;
    expectError(italian, NoTribunalPlugin);
    installation.hasTribunalPlugin = true;
    expectError(italian, NoBloodmoonPlugin);
    installation.hasBloodmoonPlugin = true;
    EXPECT_TRUE(check(italian));
}

TEST_F(ConversionChecksTest, ExpansionsAreOnlyNeededWhenTheSaveUsesThem) {
    installation = GameInstallation();
    installation.hasMorrowindMaster = installation.hasMorrowindPlugin = true;
    SaveInfo save;
    save.usesMorrowindMaster = true;
    save.usesMorrowindPlugin = true;
    save.direction = ItalianToEnglish;
    EXPECT_TRUE(check(save));
    EXPECT_TRUE(messages.shown.empty());

    // The Italian plugins are checked by the plugins the save uses, not by its masters.
    installation.hasTribunalMaster = installation.hasBloodmoonMaster = true;
    save.usesTribunalMaster = save.usesBloodmoonMaster = true;
    EXPECT_TRUE(check(save));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ConversionChecksTest, AnEnglishSaveIsOnlyWarnedAboutMissingExpansionPlugins) {
    installation.hasTribunalPlugin = installation.hasBloodmoonPlugin = false;
    EXPECT_TRUE(check(usingEverything(EnglishToItalian)));
    EXPECT_EQ(texts(MessageIcon::Warning), (std::vector<std::string>{TribunalWarning, BloodmoonWarning}));
    EXPECT_EQ(messages.shown.size(), 2u);

    SaveInfo tribunalOnly = usingEverything(EnglishToItalian);
    tribunalOnly.usesBloodmoonMaster = false;
    EXPECT_TRUE(check(tribunalOnly));
    EXPECT_EQ(texts(MessageIcon::Warning), std::vector<std::string>{TribunalWarning});
    EXPECT_EQ(messages.shown.size(), 1u);

    // The same installation stops an Italian save that uses the Tribunal plugin.
    SaveInfo italian = usingEverything(ItalianToEnglish);
    expectError(italian, NoTribunalPlugin);

    // A beta save is refused elsewhere; the checks neither warn nor stop it.
    EXPECT_TRUE(check(usingEverything(BetaUnsupported)));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ConversionChecksTest, AMissingExpansionMasterStopsBeforeAnyWarning) {
    installation.hasBloodmoonMaster = false;
    installation.hasTribunalPlugin = false;
    expectError(usingEverything(EnglishToItalian), NoBloodmoonMaster);
}

} // namespace
} // namespace orvella
