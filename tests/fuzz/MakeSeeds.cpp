// Writes the seeds of one fuzz target from the demo game's saves and the saves named: whole files (for the
// record reader also the demo's master and plugin and damaged files), journal texts and player inventories
// taken from every save, and masters and plugins for the scan.

#include "RecordViews.h"
#include "gamebuilder/DemoGame.h"
#include "gamebuilder/OpenMwSaveBuilder.h"

#include <cstdio>
#include <string>
#include <vector>

namespace orvella {
namespace {

using build::u32;

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

} // namespace
} // namespace orvella

int main(int argc, char** argv) {
    using namespace orvella;
    if (argc < 3) {
        std::fprintf(stderr, "usage: fuzz-seeds records|save|journal|inventory|scan FOLDER [SAVE...]\n");
        return 2;
    }
    const std::string kind = argv[1];
    int count = 0;
    bool written = true;
    auto add = [&](const std::string& name, const std::string& bytes) {
        written =
            build::writeBytes(std::string(argv[2]) + "/" + name + "-" + std::to_string(count++), bytes) &&
            written;
    };
    std::vector<std::string> saves = {withoutScreenshot(demo::demoEnglishSave()),
                                      withoutScreenshot(demo::demoItalianSave())};
    for (int i = 3; i < argc; ++i)
        saves.push_back(build::readBytes(argv[i]));
    // The conversion target converts OpenMW's saves too: the demo's in each edition and format.
    if (kind == "save")
        for (std::uint32_t format : {build::OpenMw047Format, build::OpenMw048Format, build::OpenMw049Format})
            for (bool english : {true, false}) {
                const std::string save = demo::demoOpenMwSave(english, format);
                add("openmw", english ? save : std::string(save).replace(12, 1, 1, '\1'));
            }
    // Each save gives the parts of it that the target reads.
    for (const std::string& save : saves) {
        if (kind == "records" || kind == "save")
            add("save.ess", save);
        // The conversion target converts to English when the lowest bit of the header's flags is set.
        if (kind == "save" && save.size() > 12)
            add("save-to-english", std::string(save).replace(12, 1, 1, static_cast<char>(save[12] | 1)));
        for (const auto& record : test::readRecords(save)) {
            const Subrecord* text = record->findSubrecord("NAME");
            if (kind == "journal" && record->tag().is("JOUR") && text)
                add("journal", std::string(text->data.begin(), text->data.end()));
            if (kind == "inventory" && record->tag().is("NPCC") &&
                record->findText("NAME") == "PlayerSaveGame")
                add("inventory", test::bytesOf(*record).substr(16));
        }
    }
    if (kind == "inventory") {
        const std::string items = build::RecordBuilder("NPCC")
                                      .text("NAME", "PlayerSaveGame")
                                      .sub("NPCO", u32(1) + build::z("misc_axe"))
                                      .sub("NPCO", u32(1) + build::z("misc_bucket"))
                                      .bytes()
                                      .substr(16);
        const std::string widx1 = "WIDX" + u32(8) + u32(1) + u32(0);
        add("inventory-past-the-entries", items + "WIDX" + u32(8) + u32(7) + u32(0));
        add("inventory-twice-the-same", items + widx1 + widx1);
        add("inventory-after-the-equipment",
            items + "WIDX" + u32(8) + u32(0) + u32(0) + "XHLT" + u32(4) + u32(3));
        add("inventory-short-reference", items + "WIDX" + u32(4) + u32(1));
    }
    if (kind == "scan" || kind == "records") {
        add("master.esm", demo::demoMaster());
        add("plugin.esp", demo::demoPlugin());
    }
    if (kind == "records") {
        add("save-screenshot.ess", demo::demoEnglishSave());
        add("header-only.ess", build::GameFileBuilder({.kind = build::FileKind::Save}).bytes());
        add("over-counted.esm", demo::demoMaster().replace(320, 4, u32(1000)));
        add("cut-in-record.ess", saves[0].substr(0, saves[0].size() - 5));
    }
    if (!written)
        std::fprintf(stderr, "fuzz-seeds: cannot write every seed into %s\n", argv[2]);
    return written && count > 0 ? 0 : 1;
}
