#include "app/ConversionChecks.h"
#include "RecordingUi.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

// Files as letters: M, T and B for the three masters, m, t and b for their translation plugins.
bool has(std::string_view files, char letter) {
    return files.find(letter) != std::string_view::npos;
}

// Errors come one at a time in their order and stop; an English save is only warned about missing expansion
// plugins, and a beta save, refused elsewhere, is neither warned nor stopped. Each message is written here as
// "!" for an error or "?" for a warning, then the words that tell it from the others.
TEST(ConversionChecks, GiveTheFirstMissingFileAsAnErrorOrTheMissingExpansionPluginsAsWarnings) {
    const auto E = EnglishToItalian, I = ItalianToEnglish, Beta = BetaUnsupported;
    const struct {
        const char* installed;
        const char* used;
        ConversionDirection direction;
        std::vector<std::string> messages;
    } cases[] = {
        {"MmTtBb", "MTB", E, {}},
        {"MmTtBb", "MTBmtb", I, {}},
        {"MmTtBb", "MTBmtb", Beta, {}},
        {"", "MTB", E, {"!Master Morrowind"}},
        {"", "MTBmtb", I, {"!Master Morrowind"}},
        {"", "", Beta, {"!Master Morrowind"}},
        {"MTtBb", "MTB", E, {"!plugin Morrowind"}},
        {"MTtBb", "MTBmtb", I, {"!plugin Morrowind"}},
        {"MTtBb", "MTBmtb", Beta, {"!plugin Morrowind"}},
        {"Mm", "MTBmtb", I, {"!Master Tribunal"}},
        {"MmT", "MTBmtb", I, {"!Master Bloodmoon"}},
        {"MmTB", "MTBmtb", I, {"!plugin Tribunal"}},
        {"MmTtB", "MTBmtb", I, {"!plugin Bloodmoon"}},
        {"Mm", "Mm", I, {}},
        // The Italian plugins are checked by the plugins the save uses, not by its masters.
        {"MmTB", "MTBm", I, {}},
        {"MmTB", "MTB", E, {"?Tribunal", "?Bloodmoon"}},
        {"MmTB", "MT", E, {"?Tribunal"}},
        {"MmTB", "MTB", Beta, {}},
        {"MmTb", "MTB", E, {"!Master Bloodmoon"}},
    };
    int owner = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.installed) + " / " + c.used + " / " + std::to_string(c.direction));
        const GameInstallation installed{.hasMorrowindMaster = has(c.installed, 'M'),
                                         .hasMorrowindPlugin = has(c.installed, 'm'),
                                         .hasTribunalMaster = has(c.installed, 'T'),
                                         .hasTribunalPlugin = has(c.installed, 't'),
                                         .hasBloodmoonMaster = has(c.installed, 'B'),
                                         .hasBloodmoonPlugin = has(c.installed, 'b')};
        const SaveInfo used{has(c.used, 'M'), has(c.used, 'm'), has(c.used, 'T'), has(c.used, 't'),
                            has(c.used, 'B'), has(c.used, 'b'), c.direction};
        test::RecordingMessageBoxes messages;
        const bool passed = checkConversionPrerequisites(&owner, used, installed, messages);
        ASSERT_EQ(messages.shown.size(), c.messages.size());
        for (std::size_t i = 0; i < c.messages.size(); ++i) {
            const Message& message = messages.shown[i];
            const bool error = c.messages[i][0] == '!';
            EXPECT_EQ(message.icon, error ? MessageIcon::Error : MessageIcon::Warning) << message.text;
            // An error names its file and its game, a warning its expansion, and none names another.
            const char* const words[] = {"Morrowind", "Tribunal", "Bloodmoon", "Master", "plugin"};
            for (std::size_t w = 0; w < (error ? 5 : 3); ++w)
                EXPECT_EQ(message.text.find(words[w]) != std::string::npos,
                          c.messages[i].find(words[w]) != std::string::npos)
                    << words[w] << ": " << message.text;
            EXPECT_EQ(message.caption, "Controllo Plugin");
            EXPECT_EQ(message.owner, &owner);
        }
        EXPECT_EQ(passed, c.messages.empty() || c.messages[0][0] == '?');
    }
}

} // namespace
} // namespace orvella
