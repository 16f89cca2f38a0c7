#include "app/SaveClassification.h"
#include "TestFolder.h"
#include "gamebuilder/GameBuilder.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;

const char* const Mw = "Morrowind LRK - Versione Finale.esp";
const char* const Tr = "Tribunal LRK - Versione Finale.esp";
const char* const Bm = "Bloodmoon LRK - Versione Finale.esp";
const char* const Beta = "Morrowind LRK - open beta.esp";

std::string save(const std::vector<std::string>& masters, std::uint32_t fileType = 32) {
    build::FileHeader header{.kind = static_cast<build::FileKind>(fileType)};
    for (const std::string& master : masters)
        header.masters.emplace_back(master, 100);
    return build::GameFileBuilder(header).headerRecord().bytes();
}

struct SaveClassificationTest : testing::Test {
    test::GameFolder game;
    GameInstallation installation;

    SaveClassificationTest() { installation.installPath = game.path(); }
    std::optional<SaveInfo> classify(const std::string& name, const std::string& bytes) {
        build::writeBytes(game.save(name), bytes);
        return classifySave(nativeFileSystem(), installation, name);
    }
    // The direction and the files the save uses, "-" for each one it does not: "E MTB ---" is an English save
    // of all three masters.
    std::string classified(const std::vector<std::string>& masters) {
        auto info = classify("Save.ess", save(masters));
        if (!info)
            return "not a save";
        return std::string(info->direction == EnglishToItalian   ? "E "
                           : info->direction == ItalianToEnglish ? "I "
                                                                 : "beta ") +
               (info->usesMorrowindMaster ? "M" : "-") + (info->usesTribunalMaster ? "T" : "-") +
               (info->usesBloodmoonMaster ? "B " : "- ") + (info->usesMorrowindPlugin ? "m" : "-") +
               (info->usesTribunalPlugin ? "t" : "-") + (info->usesBloodmoonPlugin ? "b" : "-");
    }
};

TEST_F(SaveClassificationTest, TheFinalPluginsMakeAnItalianSaveAndTheBetaPluginWinsWhateverElseIsListed) {
    EXPECT_EQ(classified({"Morrowind.esm", "Tribunal.esm"}), "E MT- ---");
    // A game before 1.3 keeps the placeholder name, so the Tribunal plugin's real name matches nothing.
    EXPECT_EQ(classified({"Morrowind.esm", "Tribunal.esm", Tr}), "E MT- ---");
    installation.tribunalPluginName = Tr;
    EXPECT_EQ(classified({"Morrowind.esm", "Bloodmoon.esm", Mw}), "I M-B m--");
    EXPECT_EQ(classified({"Morrowind.esm", "Bloodmoon.esm", Tr}), "I M-B -t-");
    EXPECT_EQ(classified({"Morrowind.esm", "Bloodmoon.esm", Bm}), "I M-B --b");
    EXPECT_EQ(classified({Beta}), "beta --- ---");
    EXPECT_EQ(classified({Beta, Mw, Tr, Bm}), "beta --- mtb");
    EXPECT_EQ(classified({"Morrowind.esm", Mw, Beta}), "beta M-- m--");
    EXPECT_EQ(classified({"Morrowind.esm", "Tribunal.esm", Beta}), "beta MT- ---");
}

TEST_F(SaveClassificationTest, MasterNamesCompareExactlyAndStayInsideTheirSubrecord) {
    const std::pair<std::string, bool> names[] = {
        {build::z("Morrowind.esm"), true},
        {"Morrowind.esm", true},                        // no NUL: the subrecord's end ends it
        {std::string("Morrowind.esm\0junk", 18), true}, // the name ends at its NUL
        {build::z("morrowind.esm"), false},
        {build::z("Morrowind.esm "), false},
        {"Morrowind.es", false},
        {"", false},
    };
    for (const auto& [bytes, known] : names) {
        RecordBuilder header = build::GameFileBuilder({.kind = build::FileKind::Save}).headerRecord();
        auto info = classify("Save.ess", header.sub("MAST", bytes).bytes());
        ASSERT_TRUE(info) << bytes;
        EXPECT_EQ(info->usesMorrowindMaster, known) << bytes;
    }
}

TEST_F(SaveClassificationTest, OnlyReadableHeadersOfTheSaveTypeInFilesEndingInLowerCaseDotEssAreSaves) {
    const std::string good = save({"Morrowind.esm"});
    const struct {
        const char* name;
        std::string bytes;
        bool isSave;
    } files[] = {
        {"Upper.ESS", good, false},
        {"Mixed.Ess", good, false},
        {"Save.ess.bak", good, false},
        {"ess", good, false},
        {"Save.es", good, false},
        {".ess", good, true},
        // Only the low byte of the file type tells a save: real saves carry other bits above it.
        {"Type.ess", save({}, 0x02000020), true},
        {"Type.ess", save({}, 0xFFFFFF20), true},
        {"Type.ess", save({}, 0), false},
        {"Type.ess", save({}, 1), false},
        {"Type.ess", save({}, 0x2000), false},
        {"Type.ess", save({}, 0x20000000), false},
        {"Type.ess", save({}, 0x21), false},
        {"Short.ess", "TES", false},
        {"Other.ess", "TES4" + good.substr(4), false},
        {"Truncated.ess", good.substr(0, good.size() - 3), false},
        {"NoHedr.ess", RecordBuilder("TES3").text("MAST", "Morrowind.esm").bytes(), false},
        {"ShortHedr.ess", RecordBuilder("TES3").sub("HEDR", build::f32(1.3f)).bytes(), false},
        {"FourByteHedr.ess", RecordBuilder("TES3").sub("HEDR", std::string("\x20\0\0", 4)).bytes(), false},
        {"Minimal.ess", RecordBuilder("TES3").sub("HEDR", std::string("\0\0\0\0\x20", 5)).bytes(), true},
    };
    for (const auto& file : files)
        EXPECT_EQ(classify(file.name, file.bytes).has_value(), file.isSave)
            << file.name << " " << file.bytes.size();
    game.makeFolder("Saves/Folder.ess");
    EXPECT_FALSE(classifySave(nativeFileSystem(), installation, "Folder.ess"));
    EXPECT_FALSE(classifySave(nativeFileSystem(), installation, "Missing.ess"));
}

} // namespace
} // namespace orvella
