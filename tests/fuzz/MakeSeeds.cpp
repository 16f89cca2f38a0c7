// Writes the seed files of the fuzz targets. For the record reader: small masters, plugins and saves built
// with the game builder, from well formed ones to files that stop in the middle of a record. For the others,
// one folder each: whole saves for the conversion, journal texts and player inventories taken from every
// save at hand, masters and plugins for the scan.

#include "ReadRecords.h"
#include "SmallGame.h"
#include "demo/DemoGame.h"
#include "gamebuilder/GameBuilder.h"
#include "platform/MemoryFile.h"
#include "records/RecordStream.h"
#include "records/RecordWriter.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace orvella {
namespace {

using build::f32;
using build::FileHeader;
using build::FileKind;
using build::GameFileBuilder;
using build::RecordBuilder;
using build::u32;
using build::z;

GameFileBuilder master() {
    GameFileBuilder file(FileHeader{.kind = FileKind::Master, .description = "Seed master"});
    file.add(RecordBuilder("GMST").text("NAME", "sMonthMorningstar").text("STRV", "Morning Star"));
    file.add(RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth"));
    file.add(RecordBuilder("DIAL").text("NAME", "latest rumors").sub("DATA", std::string(1, '\0')));
    file.add(RecordBuilder("INFO").text("INAM", "1").text("PNAM", "").text("NAME", "Nothing new."));
    file.add(RecordBuilder("BOOK").text("NAME", "bk_seed").text("FNAM", "A Seed Book").sub("BKDT", u32(1)));
    return file;
}

GameFileBuilder plugin() {
    GameFileBuilder file(FileHeader{.kind = FileKind::Plugin, .masters = {{"Morrowind.esm", 1234}}});
    file.add(RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth"));
    file.add(RecordBuilder("DIAL").text("NAME", "ultime voci").sub("DATA", std::string(1, '\0')));
    return file;
}

GameFileBuilder save(bool screenshot) {
    FileHeader header{.kind = FileKind::Save,
                      .masters = {{"Morrowind.esm", 79837557}, {"Tribunal.esm", 4565686}}};
    header.screenshot = screenshot;
    GameFileBuilder file(header);
    file.add(RecordBuilder("NPC_", 0, 0x400).text("NAME", "fargoth").text("FNAM", "Fargoth"));
    file.add(
        RecordBuilder("JOUR").sub("NAME", "<FONT COLOR=\"9F0000\">16 Morning Star (Day 1)</FONT><BR>\n"));
    file.add(
        RecordBuilder("QUES").text("NAME", "A1_1_FindSpymaster").text("DATA", "Report to Caius Cosades"));
    file.add(RecordBuilder("GLOB").text("NAME", "DaysPassed").sub("FNAM", "s").sub("FLTV", f32(3)));
    file.add(
        RecordBuilder("NPCC").text("NAME", "player").sub("NPDT", std::string(8, '\0')).sub("WIDX", u32(7)));
    file.add(RecordBuilder("GAME"));
    file.add(RecordBuilder("EMPT").sub("NAME", ""));
    return file;
}

bool write(const std::string& folder, const char* name, const std::string& bytes) {
    if (build::writeBytes(folder + "/" + name, bytes))
        return true;
    std::fprintf(stderr, "fuzz-seeds: cannot write %s/%s\n", folder.c_str(), name);
    return false;
}

// Every save the seeds are made from: the generated ones, the demo's and those named on the command line.
std::vector<std::string> allSaves(const std::vector<std::string>& extra) {
    std::vector<std::string> saves = {save(false).bytes(), save(true).bytes(), test::smallgame::englishSave(),
                                      test::smallgame::italianSave()};
    const std::string demo = (std::filesystem::temp_directory_path() / "orvella-fuzz-seeds-demo").string();
    if (demo::writeDemoGame(demo))
        saves.push_back(build::readBytes(demo + "/Saves/" + demo::DemoSaveName));
    std::error_code error;
    std::filesystem::remove_all(demo, error);
    for (const std::string& path : extra)
        saves.push_back(build::readBytes(path));
    return saves;
}

// The journal texts, one seed each; the first also gets topics of its own after its NUL.
bool writeJournalSeeds(const std::string& folder, const std::vector<std::string>& saves) {
    int n = 0;
    bool ok = true;
    for (const std::string& bytes : saves)
        for (const auto& record : test::readRecords(bytes))
            if (const Subrecord* name = record->tag().is("JOUR") ? record->findSubrecord("NAME") : nullptr) {
                std::string text(name->data.begin(), name->data.end());
                if (n == 0)
                    text =
                        std::string(name->text()) + '\0' + "ring\nCaius Cosades\nCaius\nbalmora\n\nCosades#";
                ok = write(folder, ("journal-" + std::to_string(n++)).c_str(), text) && ok;
            }
    return ok;
}

// The subrecords of every player record, without the record header, as the inventory target reads them;
// and a few that break its layout.
bool writeInventorySeeds(const std::string& folder, const std::vector<std::string>& saves) {
    int n = 0;
    bool ok = true;
    for (const std::string& bytes : saves)
        for (const auto& record : test::readRecords(bytes))
            if (record->tag().is("NPCC") && record->findText("NAME") == "PlayerSaveGame") {
                std::vector<std::uint8_t> out;
                serializeRecord(*record, out);
                ok = write(folder, ("inventory-" + std::to_string(n++)).c_str(),
                           std::string(out.begin() + 16, out.end())) &&
                     ok;
            }
    auto widx = [](std::uint32_t position) { return u32(position) + u32(0); };
    RecordBuilder player("NPCC");
    player.text("NAME", "PlayerSaveGame")
        .sub("NPCO", u32(1) + z("misc_axe"))
        .sub("NPCO", u32(1) + z("misc_bucket"));
    const std::string base = player.bytes().substr(16);
    auto sub = [](const char* tag, const std::string& data) {
        return std::string(tag, 4) + u32(static_cast<std::uint32_t>(data.size())) + data;
    };
    ok = write(folder, "inventory-past-the-entries", base + sub("WIDX", widx(7))) && ok;
    ok = write(folder, "inventory-twice-the-same", base + sub("WIDX", widx(1)) + sub("WIDX", widx(1))) && ok;
    ok = write(folder, "inventory-after-the-equipment", base + sub("WIDX", widx(0)) + sub("XHLT", u32(3))) &&
         ok;
    ok = write(folder, "inventory-short-reference", base + sub("WIDX", u32(1))) && ok;
    return ok;
}

// Each save twice: the conversion target converts to English when the lowest bit of the header record's
// flags is set, to Italian otherwise.
bool writeSaveSeeds(const std::string& folder, const std::vector<std::string>& saves) {
    bool ok = true;
    for (std::size_t i = 0; i < saves.size(); ++i) {
        std::string toEnglish = saves[i];
        if (toEnglish.size() > 12)
            toEnglish[12] = static_cast<char>(toEnglish[12] | 1);
        ok = write(folder, ("save-" + std::to_string(i)).c_str(), saves[i]) &&
             write(folder, ("save-" + std::to_string(i) + "-to-english").c_str(), toEnglish) && ok;
    }
    return ok;
}

bool writeScanSeeds(const std::string& folder) {
    return write(folder, "master.esm", master().bytes()) && write(folder, "plugin.esp", plugin().bytes()) &&
           write(folder, "small-master.esm", test::smallgame::master()) &&
           write(folder, "small-plugin.esp", test::smallgame::plugin()) &&
           demo::writeDemoGame(folder + "/demo");
}

} // namespace
} // namespace orvella

int main(int argc, char** argv) {
    using namespace orvella;
    if (argc >= 3) {
        const std::string kind = argv[1];
        const std::string folder = argv[2];
        const std::vector<std::string> saves = allSaves(std::vector<std::string>(argv + 3, argv + argc));
        bool ok = kind == "save"        ? writeSaveSeeds(folder, saves)
                  : kind == "journal"   ? writeJournalSeeds(folder, saves)
                  : kind == "inventory" ? writeInventorySeeds(folder, saves)
                  : kind == "scan"      ? writeScanSeeds(folder)
                                        : false;
        return ok ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(
            stderr,
            "usage: fuzz-seeds FOLDER\n       fuzz-seeds save|journal|inventory|scan FOLDER [SAVE...]\n");
        return 2;
    }
    std::string folder = argv[1];
    std::string small = save(false).bytes();
    GameFileBuilder headerOnly(FileHeader{.kind = FileKind::Save, .screenshot = false});
    std::string overCounted = master().bytes();
    overCounted[320] = 9;
    bool ok = write(folder, "master.esm", master().bytes()) &&
              write(folder, "plugin.esp", plugin().bytes()) && write(folder, "save.ess", small) &&
              write(folder, "save-screenshot.ess", save(true).bytes()) &&
              write(folder, "header-only.ess", headerOnly.bytes()) &&
              write(folder, "over-counted.esm", overCounted) &&
              write(folder, "cut-in-record.ess", small.substr(0, small.size() - 5)) &&
              demo::writeDemoGame(folder + "/demo");
    return ok ? 0 : 1;
}
