#include "FaultInjectingFileSystem.h"
#include "app/OpenMwSave.h"
#include "app/OpenMwSaveList.h"
#include "game/SavePaths.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

// OpenMW takes a game's file from the last data folder that holds one of its name, whatever its case.
TEST(OpenMwDataFiles, ALaterFolderWinsWhateverTheCase) {
    test::FaultInjectingFileSystem files;
    files.addFolder("A");
    files.addFolder("B\\Meshes");
    files.writeFile("A\\Morrowind.esm", "a");
    files.writeFile("A\\first.esp", "a");
    files.writeFile("B\\MORROWIND.ESM", "b");
    files.writeFile("B\\Second.esp", "b");
    const DataFiles data = DataFiles::inFolders(files, {"A", "Missing", "B"});
    std::string paths;
    for (const char* name : {"morrowind.esm", "FIRST.ESP", "Second.esp", "meshes", "Tribunal.esm"})
        paths += data.pathOf(name).value_or("none") + "|";
    EXPECT_EQ(paths, "B\\MORROWIND.ESM|A\\first.esp|B\\Second.esp|none|none|");
}

TEST(OpenMwSaves, ListNewestFirstAsTheLoadMenuDoes) {
    test::FaultInjectingFileSystem files;
    const std::pair<const char*, std::int64_t> saves[] = {
        {"Alda\\old.omwsave", 5}, {"Alda\\b.omwsave", 9},          {"Alda\\c.OMWSAVE", 9},
        {"Alda\\notes.txt", 99},  {"Bren\\Quicksave.omwsave", 12}, {"Empty\\x.txt", 50},
        {"loose.omwsave", 70},    {"Cai\\Autosave.omwsave", 3}};
    for (const char* folder : {"Alda\\sub.omwsave", "Bren", "Cai", "Empty"})
        files.addFolder("U\\saves\\" + std::string(folder));
    for (const auto& [path, time] : saves) {
        files.writeFile("U\\saves\\" + std::string(path), "save");
        files.setModificationTime("U\\saves\\" + std::string(path), time);
    }
    auto listing = [&] {
        std::vector<std::string> lines;
        const OpenMwSaveListing listed = listOpenMwSaves(files, "U\\saves");
        for (const OpenMwCharacter& character : listed.characters)
            for (const OpenMwSlot& slot : character.slots)
                lines.push_back(character.name + "/" + slot.fileName + " " +
                                std::to_string(slot.modificationTime.value_or(-1)));
        lines.push_back(listed.readFailed ? "read failed" : "read");
        return lines;
    };
    EXPECT_EQ(listing(),
              (std::vector<std::string>{"Bren/Quicksave.omwsave 12", "Alda/b.omwsave 9", "Alda/c.OMWSAVE 9",
                                        "Alda/old.omwsave 5", "Cai/Autosave.omwsave 3", "read"}));

    // A save written again moves its character up.
    files.writeFile("U\\saves\\Cai\\Autosave.omwsave", "newer");
    files.setModificationTime("U\\saves\\Cai\\Autosave.omwsave", 20);
    files.failEvery(test::FileCall::List, "Alda");
    EXPECT_EQ(listing(), (std::vector<std::string>{"Cai/Autosave.omwsave 20", "Bren/Quicksave.omwsave 12",
                                                   "read failed"}));

    EXPECT_TRUE(listOpenMwSaves(files, "U\\nothing").characters.empty());
    EXPECT_FALSE(listOpenMwSaves(files, "U\\nothing").readFailed);
}

TEST(OpenMwSaves, NamesArePlainCharacterAndSlotNames) {
    const OpenMwSaveNameCheck good = checkOpenMwSaveName("Alda Vel/Quick save.omwsave");
    ASSERT_TRUE(good.name);
    EXPECT_EQ(good.name->character + "|" + good.name->slot, "Alda Vel|Quick save.omwsave");
    for (const char* bad : {"", "Alda", "/x.omwsave", "Alda/", "a/b/c.omwsave", "./x.omwsave", "a/..",
                            "a:b/c", "a\\b/c", "a/b\\c", "../x"}) {
        const OpenMwSaveNameCheck check = checkOpenMwSaveName(bad);
        EXPECT_FALSE(check.name) << bad;
        EXPECT_EQ(check.problem, "\"" + std::string(bad) +
                                     "\" is not an OpenMW save name: it must be CHARACTER/SLOT.omwsave, a "
                                     "character's folder in saves and a save in it, with no other path");
    }

    GameInstallation installation{.saveKind = SaveKind::OpenMw, .userDataFolder = "U"};
    const SavePaths paths(installation, "Alda/Quick.OMWSAVE");
    EXPECT_EQ(
        paths.save + "|" + paths.backupFolder + "|" + paths.backup + "|" + paths.log + "|" +
            SavePaths(installation, "Alda/plain").log,
        "U\\saves\\Alda\\Quick.OMWSAVE|U\\LRK Saves Backup\\Alda|U\\LRK Saves Backup\\Alda\\Quick.OMWSAVE.bak"
        "|U\\LRK Saves Backup\\Alda\\Quick.log|U\\LRK Saves Backup\\Alda\\plain.log");
}

} // namespace
} // namespace orvella
