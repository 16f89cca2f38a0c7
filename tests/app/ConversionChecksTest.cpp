#include "app/ConversionChecks.h"
#include "RecordingUi.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

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

// Files as letters: M, T and B for the three masters, m, t and b for their translation plugins.
bool has(std::string_view files, char letter) {
    return files.find(letter) != std::string_view::npos;
}
GameInstallation installed(std::string_view f) {
    return {.hasMorrowindMaster = has(f, 'M'),
            .hasMorrowindPlugin = has(f, 'm'),
            .hasTribunalMaster = has(f, 'T'),
            .hasTribunalPlugin = has(f, 't'),
            .hasBloodmoonMaster = has(f, 'B'),
            .hasBloodmoonPlugin = has(f, 'b')};
}
SaveInfo saveUsing(std::string_view f, ConversionDirection direction) {
    return {has(f, 'M'), has(f, 'm'), has(f, 'T'), has(f, 't'), has(f, 'B'), has(f, 'b'), direction};
}

// Errors come one at a time in their order and stop; an English save is only warned about missing expansion
// plugins, and a beta save, refused elsewhere, is neither warned nor stopped.
TEST(ConversionChecks, GiveTheFirstMissingFileAsAnErrorOrTheMissingExpansionPluginsAsWarnings) {
    const auto E = EnglishToItalian, I = ItalianToEnglish, Beta = BetaUnsupported;
    const struct {
        const char* installed;
        const char* used;
        ConversionDirection direction;
        std::vector<std::string> messages; // "!" before an error, "?" before a warning
    } cases[] = {
        {"MmTtBb", "MTB", E, {}},
        {"MmTtBb", "MTBmtb", I, {}},
        {"MmTtBb", "MTBmtb", Beta, {}},
        {"", "MTB", E, {"!" + NoMorrowindMaster}},
        {"", "MTBmtb", I, {"!" + NoMorrowindMaster}},
        {"", "MTBmtb", Beta, {"!" + NoMorrowindMaster}},
        {"", "", E, {"!" + NoMorrowindMaster}},
        {"MTtBb", "MTB", E, {"!" + NoMorrowindPlugin}},
        {"MTtBb", "MTBmtb", I, {"!" + NoMorrowindPlugin}},
        {"MTtBb", "MTBmtb", Beta, {"!" + NoMorrowindPlugin}},
        {"Mm", "MTBmtb", I, {"!" + NoTribunalMaster}},
        {"MmT", "MTBmtb", I, {"!" + NoBloodmoonMaster}},
        {"MmTB", "MTBmtb", I, {"!" + NoTribunalPlugin}},
        {"MmTtB", "MTBmtb", I, {"!" + NoBloodmoonPlugin}},
        {"Mm", "Mm", I, {}},
        // The Italian plugins are checked by the plugins the save uses, not by its masters.
        {"MmTB", "MTBm", I, {}},
        {"MmTB", "MTB", E, {"?" + TribunalWarning, "?" + BloodmoonWarning}},
        {"MmTB", "MT", E, {"?" + TribunalWarning}},
        {"MmTB", "MTB", Beta, {}},
        {"MmTb", "MTB", E, {"!" + NoBloodmoonMaster}},
    };
    int owner = 0;
    for (const auto& c : cases) {
        test::RecordingMessageBoxes messages;
        const bool passed = checkConversionPrerequisites(&owner, saveUsing(c.used, c.direction),
                                                         installed(c.installed), messages);
        std::vector<std::string> shown;
        for (const Message& message : messages.shown) {
            shown.push_back((message.icon == MessageIcon::Error     ? "!"
                             : message.icon == MessageIcon::Warning ? "?"
                                                                    : "") +
                            message.text);
            EXPECT_EQ(message.caption, "Controllo Plugin");
            EXPECT_EQ(message.buttons, MessageButtons::Ok);
            EXPECT_EQ(message.owner, &owner);
        }
        EXPECT_EQ(shown, c.messages) << c.installed << " / " << c.used << " / " << c.direction;
        EXPECT_EQ(passed, c.messages.empty() || c.messages[0][0] == '?') << c.installed << " / " << c.used;
    }
}

} // namespace
} // namespace orvella
