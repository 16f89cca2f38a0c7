#include "demo/DemoGame.h"

#include "gamebuilder/GameBuilder.h"

#include <filesystem>

namespace orvella::demo {

using build::FileHeader;
using build::FileKind;
using build::GameFileBuilder;
using build::RecordBuilder;

namespace {

GameFileBuilder englishMaster() {
    GameFileBuilder file(FileHeader{.kind = FileKind::Master, .description = "Synthetic demo master"});
    file.add(RecordBuilder("NPC_").text("NAME", "demo_guide").text("FNAM", "Old Guide"));
    file.add(RecordBuilder("MISC").text("NAME", "demo_coin").text("FNAM", "Gold Coin"));
    file.add(RecordBuilder("CELL").text("NAME", "Seyda Neen").sub("DATA", std::string(12, '\0')));
    return file;
}

GameFileBuilder italianPlugin() {
    GameFileBuilder file(FileHeader{.kind = FileKind::Plugin,
                                    .description = "Synthetic demo translation plugin",
                                    .masters = {{"Morrowind.esm", 0}}});
    file.add(RecordBuilder("NPC_").text("NAME", "demo_guide").text("FNAM", "Vecchia Guida"));
    file.add(RecordBuilder("MISC").text("NAME", "demo_coin").text("FNAM", "Moneta d'Oro"));
    return file;
}

GameFileBuilder englishSave(std::uint64_t masterSize) {
    FileHeader header{.kind = FileKind::Save, .description = "Demo", .masters = {{"Morrowind.esm", masterSize}}};
    header.playerName = "Nerevar";
    header.daysPassed = 3;
    GameFileBuilder file(header);
    file.add(RecordBuilder("NPC_").text("NAME", "demo_guide").text("FNAM", "Old Guide"));
    file.add(RecordBuilder("MISC").text("NAME", "demo_coin").text("FNAM", "Gold Coin"));
    file.add(RecordBuilder("GLOB").text("NAME", "DemoCounter").sub("FNAM", "l").sub("FLTV", build::f32(7)));
    return file;
}

} // namespace

bool writeDemoGame(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(fs::path(folder) / "Data Files", error);
    fs::create_directories(fs::path(folder) / "Saves", error);
    fs::create_directories(fs::path(folder) / "LRK Saves Backup", error);
    std::string master = englishMaster().bytes();
    std::string data = (fs::path(folder) / "Data Files").string();
    return build::writeBytes(data + "/Morrowind.esm", master) &&
           italianPlugin().writeTo(data + "/Morrowind LRK - Versione Finale.esp") &&
           englishSave(master.size()).writeTo((fs::path(folder) / "Saves" / DemoSaveName).string());
}

} // namespace orvella::demo
