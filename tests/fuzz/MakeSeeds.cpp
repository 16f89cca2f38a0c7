// Writes the seed files for the record reader's fuzz target: small masters, plugins and saves built with
// the game builder, from well formed ones to files that stop in the middle of a record.

#include "demo/DemoGame.h"
#include "gamebuilder/GameBuilder.h"

#include <cstdio>
#include <string>

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

} // namespace
} // namespace orvella

int main(int argc, char** argv) {
    using namespace orvella;
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz-seeds FOLDER\n");
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
