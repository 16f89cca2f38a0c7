#include "ScanHarness.h"
#include "gamebuilder/DemoGame.h"
#include "records/Bytes.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;
using test::masterFile;
using test::pluginFile;

const char* const AllFiles[] = {MorrowindMasterName, TribunalMasterName, BloodmoonMasterName,
                                MorrowindPluginName, TribunalPluginName, BloodmoonPluginName};

// Each file defines an item named after itself, so the item map tells which files were scanned.
void writeEveryFile(const test::ScanHarness& harness) {
    for (const char* name : AllFiles)
        harness.write(name, (std::string(name).ends_with(".esm") ? masterFile() : pluginFile())
                                .add(RecordBuilder("MISC").text("NAME", name).text("FNAM", name)));
}

// The files scanned, as letters in the order of AllFiles: M, T and B for the masters, m, t and b for the
// plugins, "-" for a file left out.
std::string scannedFiles(const test::ScanHarness& harness) {
    std::string letters;
    for (int i = 0; i < 6; ++i)
        letters += harness.maps.itemNameMap.count(AllFiles[i]) ? "MTBmtb"[i] : '-';
    return letters;
}

TEST(ScanFileChoice, AnExpansionIsIncludedByDirectionSaveAndInstalledPlugin) {
    test::ScanHarness harness;
    writeEveryFile(harness);
    const struct {
        ConversionDirection direction;
        bool usesMaster, usesPlugin, hasPlugin;
        const char* scanned;
    } cases[] = {
        {EnglishToItalian, true, false, true, "MTBmtb"}, {EnglishToItalian, true, true, false, "M--m--"},
        {EnglishToItalian, false, true, true, "M--m--"}, {ItalianToEnglish, true, true, false, "MTBmtb"},
        {ItalianToEnglish, true, false, true, "M--m--"}, {ItalianToEnglish, false, true, true, "M--m--"},
        {BetaUnsupported, true, true, true, "M--m--"},
    };
    for (const auto& c : cases) {
        harness.saveInfo = {.usesTribunalMaster = c.usesMaster,
                            .usesTribunalPlugin = c.usesPlugin,
                            .usesBloodmoonMaster = c.usesMaster,
                            .usesBloodmoonPlugin = c.usesPlugin,
                            .direction = c.direction};
        harness.installation.hasTribunalPlugin = harness.installation.hasBloodmoonPlugin = c.hasPlugin;
        ASSERT_TRUE(harness.scan());
        EXPECT_EQ(scannedFiles(harness), c.scanned)
            << c.direction << c.usesMaster << c.usesPlugin << c.hasPlugin;
    }
    // Included files that cannot be opened are left out silently.
    harness.includeExpansions();
    std::remove(harness.game.data(BloodmoonMasterName).c_str());
    ASSERT_TRUE(harness.scan());
    EXPECT_EQ(scannedFiles(harness), "MT-mtb");
}

// A missing Morrowind master or plugin fails its pass without a message; a file with a count of 0 reads only
// its header. The scan takes every path that start-up takes, up to the platform's limit; one longer is named.
TEST(ScanRequiredFiles, AMissingOrTooLongMorrowindFileFailsItsPass) {
    test::ScanHarness missing;
    EXPECT_FALSE(missing.scan());
    EXPECT_EQ(missing.error.pass, MasterPass);
    missing.write(MorrowindMasterName, masterFile());
    EXPECT_FALSE(missing.scan());
    EXPECT_EQ(missing.error.pass, PluginPass);
    EXPECT_EQ(missing.error.message + missing.told, "");
    missing.write(MorrowindPluginName, pluginFile());
    ASSERT_TRUE(missing.scan());
    EXPECT_EQ(missing.told, "masters 1/1|masters done|plugins 1/1|plugins done|");
    EXPECT_EQ(missing.maps.recordCount(), 0u);

    const std::string suffix = std::string(DataFilesFolder) + MorrowindPluginName;
    for (std::size_t length : {PathLimit - 1, PathLimit}) {
        test::ScanHarness harness;
        const std::string folder = harness.game.makeFolderOfLength(length - suffix.size());
        harness.game.makeFolder(folder.substr(harness.game.path().size() + 1) + "/Data Files");
        harness.installation.installPath = folder;
        masterFile().writeTo(folder + "/Data Files/" + MorrowindMasterName);
        pluginFile().writeTo(folder + "/Data Files/" + MorrowindPluginName);
        EXPECT_EQ(harness.scan(), length < PathLimit) << harness.error.message;
        if (length < PathLimit)
            continue;
        EXPECT_EQ(harness.told, "");
        EXPECT_EQ(harness.error.pass, PluginPass);
        EXPECT_NE(harness.error.message.find("\"" + folder + suffix + "\""), std::string::npos);
        EXPECT_NE(harness.error.message.find(std::to_string(PathLimit - 1)), std::string::npos);
        EXPECT_EQ(harness.error.icon, MessageIcon::Warning);
    }
}

// A malformed file fails its own pass, naming the file and the offset; a bad master stops the scan before
// the plugins.
TEST(ScanFaults, AFileCutAnywhereOrWithInconsistentSizesFailsItsPass) {
    const std::string master(demo::demoMaster());
    const std::string plugin(demo::demoPlugin());
    const std::size_t first = 16 + loadU32(reinterpret_cast<const std::uint8_t*>(master.data()) + 4);
    std::vector<std::string> masters;
    for (std::size_t cut = 0; cut < master.size(); ++cut)
        masters.push_back(master.substr(0, cut));
    // A negative count, the largest count, negative and too large record and subrecord sizes.
    for (auto [offset, value] : {std::pair<std::size_t, std::uint32_t>{320, 0xFFFFFFFF},
                                 {320, 0x7FFFFFFF},
                                 {first + 4, 0x80000000},
                                 {first + 4, 0x7FFFFFF0},
                                 {first + 20, 2000},
                                 {first + 20, 0xFFFFFFF0}})
        masters.push_back(std::string(master).replace(offset, 4, build::u32(value)));
    test::ScanHarness harness;
    for (std::size_t i = 0; i <= masters.size(); ++i) {
        const bool badPlugin = i == masters.size();
        harness.write(MorrowindMasterName, badPlugin ? master : masters[i]);
        harness.write(MorrowindPluginName, badPlugin ? plugin.substr(0, plugin.size() - 5) : plugin);
        ASSERT_FALSE(harness.scan()) << i;
        const ScanError& error = harness.error;
        EXPECT_EQ(error.pass, badPlugin ? PluginPass : MasterPass) << i;
        EXPECT_EQ(error.icon, MessageIcon::Error);
        const std::string name = badPlugin ? MorrowindPluginName : MorrowindMasterName;
        EXPECT_NE(error.message.find("\"" + name + "\""), std::string::npos) << error.message;
        EXPECT_NE(error.message.find("offset "), std::string::npos) << error.message;
        const std::string& told = harness.told;
        EXPECT_EQ(told.find("masters done") != told.npos && told.find("plugins") != told.npos, badPlugin)
            << i;
        EXPECT_EQ(told.find("plugins done"), told.npos) << i;
    }
}

} // namespace
} // namespace orvella
