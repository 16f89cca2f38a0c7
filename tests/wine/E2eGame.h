#pragma once

#include "gamebuilder/DemoGame.h"
#include "gamebuilder/GameBuilder.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace orvella::driver {

// The saves of the Wine tests' game folder besides the demo save.
inline constexpr const char* UntranslatedSave = "Journal0002.ess";
inline constexpr const char* ExpansionsSave = "Expansions0003.ess";
inline constexpr const char* BetaSave = "Beta0004.ess";
inline constexpr const char* ItalianSave = "Italian0005.ess";

// The demo save's journal and one more day whose paragraph no master knows, so that it stays untranslated.
inline constexpr const char* UntranslatedJournal =
    "<FONT COLOR=\"9F0000\">16 Last Seed (Day 1)</FONT><BR>\n"
    "The old guide asked me, Nerevar, to bring him a gold coin.<P>\n"
    "<FONT COLOR=\"9F0000\">19 Last Seed (Day 4)</FONT><BR>\n"
    "A stranger in a grey cloak watched me from the end of the docks.<P>\n";

inline bool writeSave(const std::string& path, build::FileHeader header, const std::string& journal = {}) {
    header.kind = build::FileKind::Save;
    build::GameFileBuilder save(header);
    if (!journal.empty())
        save.add(build::RecordBuilder("JOUR").sub("NAME", journal + '\0'));
    return save.writeTo(path);
}

// The stand-in's fixed file version follows the signature 0xFEEF04BD and the structure's version.
inline bool writeGameExecutable(const std::string& from, const std::string& to, std::uint16_t minor) {
    std::string bytes = build::readBytes(from);
    const char signature[] = {'\xBD', '\x04', '\xEF', '\xFE'};
    std::size_t at = bytes.find(std::string(signature, 4));
    if (at == std::string::npos || at + 12 > bytes.size())
        return false;
    bytes[at + 8] = static_cast<char>(minor & 0xFF);
    bytes[at + 9] = static_cast<char>(minor >> 8);
    return build::writeBytes(to, bytes);
}

// Writes the game folder of the Wine tests: the demo game, a save of every kind the list tells apart, files
// in "Saves" that are no saves, and the game's executable, a stand-in whose version resource says
// 1.<minor>.0.1820. False when a file cannot be written.
inline bool writeE2eGame(const std::string& folder, const std::string& gameStub, std::uint16_t minor) {
    if (!demo::writeDemoGame(nativeFileSystem(), folder))
        return false;
    const std::string saves = folder + "\\Saves\\";
    const std::pair<std::string, std::uint64_t> morrowind = {"Morrowind.esm", demo::demoMaster().size()};
    build::FileHeader header{.description = "Giornale",
                             .masters = {morrowind},
                             .health = 57.4f,
                             .daysPassed = 4,
                             .cellName = "Balmora"};
    bool written = writeSave(saves + UntranslatedSave, header, UntranslatedJournal);
    // Not listed: a save whose extension is in capitals, a folder named like a save and a text file.
    const struct {
        std::string name, description;
        std::vector<std::pair<std::string, std::uint64_t>> masters;
    } others[] = {
        {ExpansionsSave, "Espansioni", {morrowind, {"Tribunal.esm", 1}, {"Bloodmoon.esm", 1}}},
        {BetaSave, "Beta", {morrowind, {"Morrowind LRK - open beta.esp", 1}}},
        {ItalianSave,
         "Italiano",
         {morrowind, {"Morrowind LRK - Versione Finale.esp", 1}, {"Bloodmoon LRK - Versione Finale.esp", 1}}},
        {"Capitals0006.ESS", "Maiuscole", {morrowind}},
    };
    header.cellName = "Mournhold";
    for (const auto& save : others) {
        header.description = save.description;
        header.masters = save.masters;
        written = written && writeSave(saves + save.name, header);
    }
    std::error_code error;
    std::filesystem::create_directories(saves + "Folder0007.ess", error);
    return written && build::writeBytes(saves + "notes.txt", "appunti\r\n") &&
           writeGameExecutable(gameStub, folder + "\\Morrowind.exe", minor);
}

} // namespace orvella::driver
