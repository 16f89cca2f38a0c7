#include "FaultInjectingFileSystem.h"
#include "ScanHarness.h"
#include "gamebuilder/DemoGame.h"

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
// plugins,
// "-" for a file left out.
std::string scannedFiles(const test::ScanHarness& harness) {
    std::string letters;
    for (int i = 0; i < 6; ++i)
        letters += harness.maps().itemNameMap.count(AllFiles[i]) ? "MTBmtb"[i] : '-';
    return letters;
}

TEST(ScanFileChoice, AnExpansionIsIncludedByDirectionSaveAndInstalledPlugin) {
    const struct Inclusion {
        ConversionDirection direction;
        bool usesMaster, usesPlugin, hasPlugin, included;
    } cases[] = {
        {EnglishToItalian, true, false, true, true},  {EnglishToItalian, true, true, true, true},
        {EnglishToItalian, true, true, false, false}, {EnglishToItalian, false, true, true, false},
        {ItalianToEnglish, true, true, false, true},  {ItalianToEnglish, true, false, true, false},
        {ItalianToEnglish, false, true, true, false}, {BetaUnsupported, true, true, true, false},
    };
    test::ScanHarness harness;
    writeEveryFile(harness);
    for (const Inclusion& tr : cases) {
        for (const Inclusion& bm : cases) {
            if (tr.direction != bm.direction)
                continue;
            SaveInfo& save = harness.saveInfo;
            save = {.usesTribunalMaster = tr.usesMaster,
                    .usesTribunalPlugin = tr.usesPlugin,
                    .usesBloodmoonMaster = bm.usesMaster,
                    .usesBloodmoonPlugin = bm.usesPlugin,
                    .direction = tr.direction};
            harness.installation.hasTribunalPlugin = tr.hasPlugin;
            harness.installation.hasBloodmoonPlugin = bm.hasPlugin;
            ASSERT_TRUE(harness.scan());
            const std::string expected = std::string("M") + (tr.included ? "T" : "-") +
                                         (bm.included ? "B" : "-") + "m" + (tr.included ? "t" : "-") +
                                         (bm.included ? "b" : "-");
            EXPECT_EQ(scannedFiles(harness), expected)
                << tr.direction << " T " << tr.usesMaster << tr.usesPlugin << tr.hasPlugin << " B "
                << bm.usesMaster << bm.usesPlugin << bm.hasPlugin;
        }
    }

    // Included files that cannot be opened are left out silently.
    harness.includeExpansions();
    harness.installation.tribunalPluginName = PlaceholderTribunalPluginName;
    std::remove(harness.game.data(BloodmoonMasterName).c_str());
    ASSERT_TRUE(harness.scan());
    EXPECT_EQ(scannedFiles(harness), "MT-m-b");
}

TEST(ScanOrder, OpensEveryFileFirstThenScansMastersAndPluginsInOrderClosingEachAfterItsScan) {
    test::ScanHarness harness;
    writeEveryFile(harness);
    harness.includeExpansions();
    test::FaultInjectingFileSystem files{nativeFileSystem()};
    files.tracing = true;
    harness.files = &files;
    ASSERT_TRUE(harness.scan());
    std::vector<std::string> expected;
    for (const char* name : {MorrowindMasterName, MorrowindPluginName, TribunalMasterName, TribunalPluginName,
                             BloodmoonMasterName, BloodmoonPluginName})
        expected.push_back(std::string("open ") + name);
    for (const char* name : AllFiles)
        expected.push_back(std::string("close ") + name);
    EXPECT_EQ(files.trace, expected);
    // Each pass tells of every file from its first to its last before it is complete.
    EXPECT_EQ(
        harness.progress.calls,
        (std::vector<std::string>{"masters 1/2", "masters 2/2", "masters 1/2", "masters 2/2", "masters 1/2",
                                  "masters 2/2", "masters done", "plugins 1/2", "plugins 2/2", "plugins 1/2",
                                  "plugins 2/2", "plugins 1/2", "plugins 2/2", "plugins done"}));

    // A file with a count of 0 reads only its header and tells of it as done.
    test::ScanHarness empty;
    empty.writeBase();
    ASSERT_TRUE(empty.scan());
    EXPECT_EQ(empty.progress.calls,
              (std::vector<std::string>{"masters 1/1", "masters done", "plugins 1/1", "plugins done"}));
    EXPECT_EQ(empty.maps().recordCount(), 0u);
}

TEST(ScanRequiredFiles, AMissingMorrowindMasterOrPluginFailsItsPassWithoutAMessage) {
    test::ScanHarness harness;
    EXPECT_FALSE(harness.scan());
    EXPECT_TRUE(harness.progress.calls.empty());
    EXPECT_EQ(harness.error.pass, MasterPass);
    EXPECT_EQ(harness.error.message, "");
    harness.write(MorrowindMasterName, masterFile());
    EXPECT_FALSE(harness.scan());
    EXPECT_TRUE(harness.progress.calls.empty());
    EXPECT_EQ(harness.error.pass, PluginPass);
    EXPECT_EQ(harness.error.message, "");
}

// The scan takes every path that start-up takes, up to the platform's limit; one longer than that is named.
TEST(ScanRequiredFiles, APathAtThePlatformsLimitIsScannedAndOneByteMoreIsNamed) {
    const std::string suffix = std::string(DataFilesFolder) + MorrowindPluginName;
    for (std::size_t length : {PathLimit - 1, PathLimit}) {
        test::ScanHarness harness;
        const std::string folder = harness.game.makeFolderOfLength(length - suffix.size());
        harness.game.makeFolder(folder.substr(harness.game.path().size() + 1) + "/Data Files");
        harness.installation.installPath = folder;
        masterFile().writeTo(folder + "/Data Files/" + MorrowindMasterName);
        pluginFile().writeTo(folder + "/Data Files/" + MorrowindPluginName);
        const std::string pluginPath = folder + suffix;
        ASSERT_EQ(pluginPath.size(), length);
        if (length < PathLimit) {
            EXPECT_TRUE(harness.scan()) << harness.error.message;
            continue;
        }
        EXPECT_FALSE(harness.scan());
        EXPECT_TRUE(harness.progress.calls.empty());
        EXPECT_EQ(harness.error.pass, PluginPass);
        EXPECT_EQ(harness.error.message, "Il percorso \"" + pluginPath + "\" \xE8 troppo lungo (al massimo " +
                                             std::to_string(PathLimit - 1) + " caratteri).");
        EXPECT_EQ(harness.error.icon, MessageIcon::Warning);
    }
}

TEST(DemoGameScan, FillsEveryMapWithEnglishTextsAndTheirItalianTranslations) {
    test::ScanHarness harness;
    ASSERT_TRUE(demo::writeDemoGame(nativeFileSystem(), harness.game.path()));
    ASSERT_TRUE(harness.scan());
    const TranslationMaps& maps = harness.maps();
    EXPECT_EQ(maps.gmstMap.size(), 12u);
    EXPECT_EQ(test::bytesOf(maps.gmstMap.at("sMonthMidyear")->translation()), "Met\xE0 Anno");
    EXPECT_GE(maps.npcNameMap.size(), 2u);
    EXPECT_GE(maps.itemNameMap.size(), 4u);
    EXPECT_EQ(maps.journalTopicMap.size(), 2u);
    int questNames = 0, withPlayerName = 0;
    for (const auto& [id, entry] : maps.journalEntryMap) {
        questNames += entry->findSubrecord("QSTN") != nullptr;
        withPlayerName += test::bytesOf(entry->findSubrecord("NAME")).find("%Name") != std::string::npos;
    }
    EXPECT_GE(questNames, 1);
    EXPECT_GE(withPlayerName, 1);
    for (const auto* map : {&maps.gmstMap, &maps.npcNameMap, &maps.itemNameMap, &maps.journalEntryMap})
        for (const auto& [id, entry] : *map)
            EXPECT_TRUE(entry->translation() && entry->findSubrecord(map == &maps.gmstMap ? "STRV" : "NAME"))
                << id;
}

} // namespace
} // namespace orvella
