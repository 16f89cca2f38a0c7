#include "app/SaveClassification.h"
#include "RecordingUi.h"
#include "TestFolder.h"
#include "app/ConversionChecks.h"
#include "gamebuilder/GameBuilder.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;

const char* const Mw = "Morrowind LRK - Versione Finale.esp";
const char* const Tr = "Tribunal LRK - Versione Finale.esp";
const char* const Bm = "Bloodmoon LRK - Versione Finale.esp";
const char* const Beta = "Morrowind LRK - open beta.esp";

RecordBuilder header(const std::vector<std::string>& masters, std::uint32_t fileType = 32) {
    build::FileHeader header{.kind = static_cast<build::FileKind>(fileType)};
    for (const std::string& master : masters)
        header.masters.emplace_back(master, 100);
    return build::GameFileBuilder(header).headerRecord();
}

struct SaveClassificationTest : testing::Test {
    test::GameFolder game;
    GameInstallation installation{game.path()};

    // The direction and the files used, "-" for those unused: "E MTB ---" is English with the three masters.
    std::string classified(const std::string& bytes, const std::string& name = "Save.ess") {
        build::writeBytes(game.save(name), bytes);
        auto info = classifySave(nativeFileSystem(), installation, name);
        if (!info)
            return "no save";
        const char* const directions[] = {"E ", "I ", "beta "};
        std::string masters, plugins;
        for (Game game : AllGames) {
            masters += info->used(game).master ? "MTB"[indexOf(game)] : '-';
            plugins += info->used(game).plugin ? "mtb"[indexOf(game)] : '-';
        }
        return directions[static_cast<int>(info->direction)] + masters + " " + plugins;
    }
};

// The final plugins make an Italian save and the beta plugin wins. Only readable headers of the save type in
// files ending in lower-case ".ess" are saves; only the low byte of the file type tells a save, as real saves
// carry other bits above it. A master's name compares exactly and ends at its NUL or its subrecord's end.
TEST_F(SaveClassificationTest, GivesTheDirectionAndTheFilesUsedOfEverySave) {
    // A game before 1.3 keeps the placeholder name, so the Tribunal plugin's real name matches nothing.
    EXPECT_EQ(classified(header({"Morrowind.esm", "Tribunal.esm", Tr}).bytes()), "E MT- ---");
    installation.installed(Game::Tribunal).pluginName = Tr;
    const std::string good = header({"Morrowind.esm"}).bytes();
    const std::tuple<const char*, std::string, const char*> files[] = {
        {"Save.ess", header({"Morrowind.esm", "Bloodmoon.esm", Mw}).bytes(), "I M-B m--"},
        {"Save.ess", header({"Morrowind.esm", "Bloodmoon.esm", Tr}).bytes(), "I M-B -t-"},
        {"Save.ess", header({"Morrowind.esm", "Tribunal.esm", Bm}).bytes(), "I MT- --b"},
        {"Save.ess", header({Beta}).bytes(), "beta --- ---"},
        {"Save.ess", header({Beta, Mw, Tr, Bm}).bytes(), "beta --- mtb"},
        {"Save.ess", header({"Morrowind.esm", Mw, Beta}).bytes(), "beta M-- m--"},
        {"Save.ess", header({"Morrowind.esm", "Tribunal.esm", Beta}).bytes(), "beta MT- ---"},
        {"Upper.ESS", good, "no save"},
        {"Save.ess.bak", good, "no save"},
        {"Save.es", good, "no save"},
        {".ess", good, "E M-- ---"},
        {"Type.ess", header({}, 0xFFFFFF20).bytes(), "E --- ---"},
        {"Type.ess", header({}, 0).bytes(), "no save"},
        {"Type.ess", header({}, 0x21).bytes(), "no save"},
        {"Short.ess", "TES", "no save"},
        {"Other.ess", "TES4" + good.substr(4), "no save"},
        {"Truncated.ess", good.substr(0, good.size() - 3), "no save"},
        {"NoHedr.ess", RecordBuilder("TES3").text("MAST", "Morrowind.esm").bytes(), "no save"},
        {"FourByteHedr.ess", RecordBuilder("TES3").sub("HEDR", std::string("\x20\0\0", 4)).bytes(),
         "no save"},
        {"Minimal.ess", RecordBuilder("TES3").sub("HEDR", std::string("\0\0\0\0\x20", 5)).bytes(),
         "E --- ---"},
        {"EndsAtItsNul.ess", header({}).sub("MAST", std::string("Morrowind.esm\0junk", 18)).bytes(),
         "E M-- ---"},
        {"EndsAtTheSubrecord.ess", header({}).sub("MAST", "Morrowind.esm").bytes(), "E M-- ---"},
        {"Lower.ess", header({}).sub("MAST", build::z("morrowind.esm")).bytes(), "E --- ---"},
        {"Cut.ess", header({}).sub("MAST", "Morrowind.es").bytes(), "E --- ---"},
    };
    for (const auto& [name, bytes, expected] : files)
        EXPECT_EQ(classified(bytes, name), expected) << name;
}

// Files as letters: M, T, B the masters, m, t, b their plugins. Errors come one at a time in their order and
// stop; an English save is only warned about missing expansion plugins, a beta save (refused elsewhere)
// neither. A message is written "!" for an error or "?" for a warning, then the first letters of the words
// that tell it apart: "!MT" is the missing Tribunal master, "?pB" the warning about Bloodmoon's plugin.
TEST(ConversionChecks, GiveTheFirstMissingFileAsAnErrorOrTheMissingExpansionPluginsAsWarnings) {
    const auto E = EnglishToItalian, I = ItalianToEnglish, Beta = BetaUnsupported;
    const std::tuple<std::string, std::string, ConversionDirection, std::string> cases[] = {
        {"MmTtBb", "MTB", E, ""},
        {"MmTtBb", "MTBmtb", I, ""},
        {"", "MTB", E, "!MM"},
        {"MTtBb", "MTB", E, "!pM"},
        {"Mm", "MTBmtb", I, "!MT"},
        {"MmT", "MTBmtb", I, "!MB"},
        {"MmTB", "MTBmtb", I, "!pT"},
        {"MmTtB", "MTBmtb", I, "!pB"},
        {"Mm", "Mm", I, ""},
        // The Italian plugins are checked by the plugins the save uses, not by its masters.
        {"MmTB", "MTBm", I, ""},
        {"MmTB", "MTB", E, "?pT?pB"},
        {"MmTB", "MT", E, "?pT"},
        {"MmTB", "MTB", Beta, ""},
        {"MmTb", "MTB", E, "!MB"},
    };
    int owner = 0;
    for (const auto& [installed, used, direction, expected] : cases) {
        const auto has = [](std::string_view files, char letter) { return files.find(letter) != files.npos; };
        GameInstallation game;
        SaveInfo save{.direction = direction};
        for (std::size_t i = 0; i < GameCount; ++i) {
            game.games[i] = {has(installed, "MTB"[i]), has(installed, "mtb"[i])};
            save.games[i] = {has(used, "MTB"[i]), has(used, "mtb"[i])};
        }
        test::RecordingMessageBoxes messages;
        const bool passed = checkConversionPrerequisites(&owner, save, game, messages);
        std::string seen;
        for (const Message& message : messages.shown) {
            seen += message.icon == MessageIcon::Error ? "!" : "?";
            for (const char* word : {"Master", "plugin", "Morrowind", "Tribunal", "Bloodmoon"})
                seen += message.text.find(word) != std::string::npos ? std::string(1, word[0]) : "";
            seen +=
                message.caption != "Controllo Plugin" || message.owner != &owner ? " in the wrong box" : "";
        }
        EXPECT_EQ(seen, expected) << installed << " / " << used << " / " << static_cast<int>(direction);
        EXPECT_EQ(passed, seen.empty() || seen[0] == '?');
    }
}

} // namespace
} // namespace orvella
