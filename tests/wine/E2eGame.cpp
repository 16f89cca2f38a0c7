#include "E2eGame.h"

#include "gamebuilder/DemoGame.h"
#include "gamebuilder/GameBuilder.h"

#include <cstring>
#include <filesystem>

namespace orvella::driver {
namespace {

using build::FileHeader;
using build::FileKind;
using build::GameFileBuilder;
using build::RecordBuilder;

// The demo save's journal and one more day whose paragraph no master knows, so that it stays untranslated.
constexpr const char* UntranslatedJournal =
    "<FONT COLOR=\"9F0000\">16 Last Seed (Day 1)</FONT><BR>\n"
    "The old guide asked me, Nerevar, to bring him a gold coin.<P>\n"
    "<FONT COLOR=\"9F0000\">19 Last Seed (Day 4)</FONT><BR>\n"
    "A stranger in a grey cloak watched me from the end of the docks.<P>\n";

bool writeSave(const std::string& path, FileHeader header, const std::string& journal = {}) {
    header.kind = FileKind::Save;
    GameFileBuilder save(header);
    if (!journal.empty())
        save.add(RecordBuilder("JOUR").sub("NAME", journal + '\0'));
    return save.writeTo(path);
}

// The stand-in's fixed file version follows the signature 0xFEEF04BD and the structure's version.
bool writeGameExecutable(const std::string& from, const std::string& to, std::uint16_t minor) {
    std::string bytes = build::readBytes(from);
    const char signature[] = {'\xBD', '\x04', '\xEF', '\xFE'};
    std::size_t at = bytes.find(std::string(signature, 4));
    if (at == std::string::npos || at + 12 > bytes.size())
        return false;
    bytes[at + 8] = static_cast<char>(minor & 0xFF);
    bytes[at + 9] = static_cast<char>(minor >> 8);
    return build::writeBytes(to, bytes);
}

} // namespace

bool writeE2eGame(const std::string& folder, const std::string& gameStub, std::uint16_t minor) {
    namespace fs = std::filesystem;
    if (!demo::writeDemoGame(nativeFileSystem(), folder))
        return false;
    std::string saves = folder + "\\Saves\\";
    const std::uint64_t masterSize = demo::demoMaster().size();

    FileHeader header;
    header.description = "Giornale";
    header.playerName = "Nerevar";
    header.cellName = "Balmora";
    header.daysPassed = 4;
    header.health = 57.4f;
    header.masters = {{"Morrowind.esm", masterSize}};
    bool written = writeSave(saves + UntranslatedSave, header, UntranslatedJournal);

    header.description = "Espansioni";
    header.cellName = "Mournhold";
    header.masters = {{"Morrowind.esm", masterSize}, {"Tribunal.esm", 1}, {"Bloodmoon.esm", 1}};
    written = written && writeSave(saves + ExpansionsSave, header);

    header.description = "Beta";
    header.masters = {{"Morrowind.esm", masterSize}, {"Morrowind LRK - open beta.esp", 1}};
    written = written && writeSave(saves + BetaSave, header);

    header.description = "Italiano";
    header.masters = {{"Morrowind.esm", masterSize},
                      {"Morrowind LRK - Versione Finale.esp", 1},
                      {"Bloodmoon LRK - Versione Finale.esp", 1}};
    written = written && writeSave(saves + ItalianSave, header);

    // Not listed: a save whose extension is in capitals, a folder named like a save and a text file.
    header.description = "Maiuscole";
    header.masters = {{"Morrowind.esm", masterSize}};
    written = written && writeSave(saves + "Capitals0006.ESS", header);
    std::error_code error;
    fs::create_directories(fs::path(saves) / "Folder0007.ess", error);
    written = written && build::writeBytes(saves + "notes.txt", "appunti\r\n");

    return written && writeGameExecutable(gameStub, folder + "\\Morrowind.exe", minor);
}

} // namespace orvella::driver
