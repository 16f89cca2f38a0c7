// Writes the seed files of the fuzz targets. For the record reader: the demo game's master, plugin and saves,
// from well formed ones to files that stop in the middle of a record. For the others,
// one folder each: whole saves for the conversion, journal texts and player inventories taken from every
// save at hand, masters and plugins for the scan.

#include "RecordViews.h"
#include "gamebuilder/DemoGame.h"
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

using build::RecordBuilder;
using build::u32;
using build::z;

// The save without its screenshot, small enough for the targets' longest inputs.
std::string withoutScreenshot(const std::string& save) {
    std::string bytes;
    for (const auto& record : test::readRecords(save)) {
        for (std::size_t i = record->subrecordCount(); i-- > 0;)
            if (record->subrecordAt(i).tag.is("SCRS"))
                record->removeSubrecordAt(i);
        bytes += test::bytesOf(*record);
    }
    return bytes;
}

bool write(const std::string& folder, const char* name, const std::string& bytes) {
    if (build::writeBytes(folder + "/" + name, bytes))
        return true;
    std::fprintf(stderr, "fuzz-seeds: cannot write %s/%s\n", folder.c_str(), name);
    return false;
}

// Every save the seeds are made from: the demo's, without their screenshots, and those named on the command
// line.
std::vector<std::string> allSaves(const std::vector<std::string>& extra) {
    std::vector<std::string> saves = {withoutScreenshot(demo::demoEnglishSave()),
                                      withoutScreenshot(demo::demoItalianSave())};
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
    return write(folder, "master.esm", demo::demoMaster()) && write(folder, "plugin.esp", demo::demoPlugin());
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
    const std::string save = withoutScreenshot(demo::demoEnglishSave());
    const std::string overCounted = std::string(demo::demoMaster()).replace(320, 4, build::u32(1000));
    bool ok =
        write(folder, "master.esm", demo::demoMaster()) && write(folder, "plugin.esp", demo::demoPlugin()) &&
        write(folder, "save.ess", save) && write(folder, "save-screenshot.ess", demo::demoEnglishSave()) &&
        write(folder, "header-only.ess", build::GameFileBuilder({.kind = build::FileKind::Save}).bytes()) &&
        write(folder, "over-counted.esm", overCounted) &&
        write(folder, "cut-in-record.ess", save.substr(0, save.size() - 5));
    return ok ? 0 : 1;
}
