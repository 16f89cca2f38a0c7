#include "app/SaveClassification.h"
#include "TestFolder.h"
#include "app/SaveList.h"
#include "gamebuilder/GameBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;
using build::u32;
using test::GameFolder;

const char* const MwPlugin = "Morrowind LRK - Versione Finale.esp";
const char* const TrPlugin = "Tribunal LRK - Versione Finale.esp";
const char* const BmPlugin = "Bloodmoon LRK - Versione Finale.esp";
const char* const Beta = "Morrowind LRK - open beta.esp";

// HEDR data as the game writes it: version, file type, author, description, record count.
std::string hedr(std::uint32_t fileType) {
    return build::f32(1.3f) + u32(fileType) + std::string(32, '\0') + std::string(256, '\0') + u32(0);
}

RecordBuilder header(const std::vector<std::string>& masters, std::uint32_t fileType = 32) {
    RecordBuilder record("TES3");
    record.sub("HEDR", hedr(fileType));
    for (const auto& master : masters)
        record.text("MAST", master).sub("DATA", u32(100) + u32(0));
    return record;
}

struct SaveClassificationTest : testing::Test {
    GameFolder game;
    GameInstallation installation;

    SaveClassificationTest() { installation.installPath = game.path(); }

    void write(const std::string& name, const std::string& bytes) {
        build::writeBytes(game.save(name), bytes);
    }
    void writeSave(const std::string& name, const std::vector<std::string>& masters) {
        write(name, header(masters).bytes());
    }
    std::optional<SaveInfo> classify(const std::string& name) {
        return classifySave(nativeFileSystem(), installation, name);
    }
    std::optional<SaveInfo> classifyMasters(const std::vector<std::string>& masters) {
        writeSave("Save.ess", masters);
        return classify("Save.ess");
    }
};

TEST_F(SaveClassificationTest, AnEnglishSaveUsesItsMastersAndGoesToItalian) {
    auto info = classifyMasters({"Morrowind.esm", "Tribunal.esm"});
    ASSERT_TRUE(info);
    EXPECT_EQ(info->direction, EnglishToItalian);
    EXPECT_TRUE(info->usesMorrowindMaster);
    EXPECT_TRUE(info->usesTribunalMaster);
    EXPECT_FALSE(info->usesBloodmoonMaster);
    EXPECT_FALSE(info->usesMorrowindPlugin || info->usesTribunalPlugin || info->usesBloodmoonPlugin);
    EXPECT_TRUE(info->playerName.empty());
}

TEST_F(SaveClassificationTest, AnyFinalTranslationPluginMakesAnItalianSave) {
    installation.tribunalPluginName = TrPlugin;
    for (const char* plugin : {MwPlugin, TrPlugin, BmPlugin}) {
        auto info = classifyMasters({"Morrowind.esm", "Bloodmoon.esm", plugin});
        ASSERT_TRUE(info) << plugin;
        EXPECT_EQ(info->direction, ItalianToEnglish) << plugin;
        EXPECT_TRUE(info->usesBloodmoonMaster);
        EXPECT_EQ(info->usesMorrowindPlugin, plugin == MwPlugin);
        EXPECT_EQ(info->usesTribunalPlugin, plugin == TrPlugin);
        EXPECT_EQ(info->usesBloodmoonPlugin, plugin == BmPlugin);
    }
}

TEST_F(SaveClassificationTest, TheTribunalPluginCountsOnlyUnderTheInstallationsName) {
    // A game before 1.3 keeps the placeholder name, so the plugin's real name matches nothing.
    auto info = classifyMasters({"Morrowind.esm", "Tribunal.esm", TrPlugin});
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->usesTribunalPlugin);
    EXPECT_EQ(info->direction, EnglishToItalian);
}

TEST_F(SaveClassificationTest, TheBetaPluginWinsWhateverElseIsListed) {
    installation.tribunalPluginName = TrPlugin;
    for (auto masters : std::vector<std::vector<std::string>>{{Beta},
                                                              {Beta, MwPlugin, TrPlugin, BmPlugin},
                                                              {"Morrowind.esm", MwPlugin, Beta},
                                                              {"Morrowind.esm", "Tribunal.esm", Beta}}) {
        auto info = classifyMasters(masters);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->direction, BetaUnsupported) << masters.size();
    }
}

TEST_F(SaveClassificationTest, MasterNamesCompareExactlyAndStayInsideTheirSubrecord) {
    auto withMast = [&](const std::string& bytes) {
        write("Save.ess", header({}).sub("MAST", bytes).bytes());
        auto info = classify("Save.ess");
        EXPECT_TRUE(info);
        return info ? info->usesMorrowindMaster : false;
    };
    EXPECT_TRUE(withMast(build::z("Morrowind.esm")));
    EXPECT_TRUE(withMast("Morrowind.esm"));                        // no NUL: the subrecord's end ends it
    EXPECT_TRUE(withMast(std::string("Morrowind.esm\0junk", 18))); // the name ends at its NUL
    EXPECT_FALSE(withMast(build::z("morrowind.esm")));
    EXPECT_FALSE(withMast(build::z("Morrowind.esm ")));
    EXPECT_FALSE(withMast("Morrowind.es"));
    EXPECT_FALSE(withMast(""));
}

TEST_F(SaveClassificationTest, OnlyNamesEndingInLowerCaseDotEssAreSaves) {
    std::string bytes = header({"Morrowind.esm"}).bytes();
    for (const char* name : {"Upper.ESS", "Mixed.Ess", "Save.ess.bak", "ess", "Save.es"}) {
        write(name, bytes);
        EXPECT_FALSE(classify(name)) << name;
    }
    write(".ess", bytes);
    EXPECT_TRUE(classify(".ess"));
    game.makeFolder("Saves/Folder.ess");
    EXPECT_FALSE(classify("Folder.ess"));
    EXPECT_FALSE(classify("Missing.ess"));
}

TEST_F(SaveClassificationTest, OnlyTheLowByteOfTheFileTypeTellsASave) {
    for (std::uint32_t type : {32u, 0x02000020u, 0xFFFFFF20u}) {
        write("Save.ess", header({"Morrowind.esm"}, type).bytes());
        EXPECT_TRUE(classify("Save.ess")) << type;
    }
    for (std::uint32_t type : {0u, 1u, 0x2000u, 0x20000000u, 0x21u}) {
        write("Save.ess", header({"Morrowind.esm"}, type).bytes());
        EXPECT_FALSE(classify("Save.ess")) << type;
    }
}

TEST_F(SaveClassificationTest, BrokenHeadersAreNotSaves) {
    std::string good = header({"Morrowind.esm"}).bytes();
    write("Short.ess", "TES");
    write("Other.ess", "TES4" + good.substr(4));
    write("Truncated.ess", good.substr(0, good.size() - 3));
    write("NoHedr.ess", RecordBuilder("TES3").text("MAST", "Morrowind.esm").bytes());
    write("ShortHedr.ess", RecordBuilder("TES3").sub("HEDR", build::f32(1.3f)).bytes());
    write("FourByteHedr.ess", RecordBuilder("TES3").sub("HEDR", std::string("\x20\0\0", 4)).bytes());
    for (const char* name :
         {"Short.ess", "Other.ess", "Truncated.ess", "NoHedr.ess", "ShortHedr.ess", "FourByteHedr.ess"})
        EXPECT_FALSE(classify(name)) << name;
    write("Minimal.ess", RecordBuilder("TES3").sub("HEDR", std::string("\0\0\0\0\x20", 5)).bytes());
    EXPECT_TRUE(classify("Minimal.ess"));
}

TEST_F(SaveClassificationTest, TheRealSavesAreEnglishSavesOfAllThreeGames) {
    for (const char* name : {"HartKack0000.ess", "Test10000.ess"}) {
        std::filesystem::copy_file(std::string(ORVELLA_REAL_SAVES) + "/" + name, game.save(name));
        auto info = classify(name);
        ASSERT_TRUE(info) << name;
        EXPECT_EQ(info->direction, EnglishToItalian);
        EXPECT_TRUE(info->usesMorrowindMaster && info->usesTribunalMaster && info->usesBloodmoonMaster);
        EXPECT_FALSE(info->usesMorrowindPlugin || info->usesTribunalPlugin || info->usesBloodmoonPlugin);
    }
}

// A folder listed in a fixed order, the files themselves read from the disk.
class ListedFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, const char* mode) override {
        return base.open(path, mode);
    }
    bool copyFile(const std::string& from, const std::string& to, bool overwrite) override { return false; }
    bool replaceFile(const std::string& from, const std::string& to) override { return false; }
    bool deleteFile(const std::string& path) override { return false; }
    bool exists(const std::string& pattern) override { return base.exists(pattern); }
    bool createFolder(const std::string& path, bool& alreadyExists) override { return false; }
    bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override {
        listedPath = path;
        entries = listing;
        return listable;
    }

    FileSystem& base = nativeFileSystem();
    std::vector<FolderEntry> listing;
    bool listable = true;
    std::string listedPath;
};

TEST_F(SaveClassificationTest, TheListShowsSavesInReverseListingOrderWithTheirMarks) {
    installation.tribunalPluginName = TrPlugin;
    writeSave("English.ess", {"Morrowind.esm", "Tribunal.esm"});
    writeSave("Italian.ess", {"Morrowind.esm", "Tribunal.esm", "Bloodmoon.esm", MwPlugin, BmPlugin});
    writeSave("Beta.ess", {"Morrowind.esm", "Bloodmoon.esm", Beta});
    writeSave("Listed as folder.ess", {"Morrowind.esm"});
    write("Notes.txt", "x");
    write("Master.ess", header({}, 1).bytes());

    ListedFileSystem files;
    files.listing = {{".", true},     {"English.ess"}, {"Notes.txt"}, {"Listed as folder.ess", true},
                     {"Italian.ess"}, {"Master.ess"},  {"Beta.ess"},  {"Gone.ess"}};
    std::vector<SaveListRow> rows = buildSaveList(files, installation);
    EXPECT_EQ(files.listedPath, game.path() + "\\Saves\\");

    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].fileName, "Beta.ess");
    EXPECT_EQ(rows[0].saveInfo.direction, BetaUnsupported);
    EXPECT_FALSE(rows[0].tribunalMark);
    EXPECT_TRUE(rows[0].bloodmoonMark);

    // An Italian save is marked by its plugins, not its masters.
    EXPECT_EQ(rows[1].fileName, "Italian.ess");
    EXPECT_EQ(rows[1].saveInfo.direction, ItalianToEnglish);
    EXPECT_FALSE(rows[1].tribunalMark);
    EXPECT_TRUE(rows[1].bloodmoonMark);

    EXPECT_EQ(rows[2].fileName, "English.ess");
    EXPECT_EQ(rows[2].saveInfo.direction, EnglishToItalian);
    EXPECT_TRUE(rows[2].tribunalMark);
    EXPECT_FALSE(rows[2].bloodmoonMark);

    files.listable = false;
    EXPECT_TRUE(buildSaveList(files, installation).empty());
}

TEST_F(SaveClassificationTest, TheListLeavesOutFoldersNamedLikeSaves) {
    writeSave("Real.ess", {"Morrowind.esm"});
    game.makeFolder("Saves/Folder.ess");
    std::vector<SaveListRow> rows = buildSaveList(nativeFileSystem(), installation);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].fileName, "Real.ess");
}

TEST(PatchButtonTextTest, NamesEachDirection) {
    EXPECT_STREQ(patchButtonText(EnglishToItalian), "Inglese -> Italiano");
    EXPECT_STREQ(patchButtonText(ItalianToEnglish), "Italiano -> Inglese");
    EXPECT_STREQ(patchButtonText(BetaUnsupported), "Versione BETA non supportata");
}

} // namespace
} // namespace orvella
