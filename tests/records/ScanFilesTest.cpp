#include "JobHarness.h"
#include "ScanHarness.h"
#include "demo/DemoGame.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;
using test::masterFile;
using test::pluginFile;

const char* const AllFiles[] = {MorrowindMasterName, TribunalMasterName,     BloodmoonMasterName,
                                MorrowindPluginName, TribunalPluginFileName, BloodmoonPluginName};

// Each file defines an item named after itself, so the item map tells which files were scanned.
void writeEveryFile(const test::ScanHarness& harness) {
    for (const char* name : AllFiles) {
        bool master = std::string(name).ends_with(".esm");
        harness.write(name, (master ? masterFile() : pluginFile())
                                .add(RecordBuilder("MISC").text("NAME", name).text("FNAM", name)));
    }
}

std::vector<std::string> scannedFiles(const test::ScanHarness& harness) {
    std::vector<std::string> names;
    for (const char* name : AllFiles)
        if (harness.maps().itemNameMap.count(name))
            names.push_back(name);
    return names;
}

struct Inclusion {
    ConversionDirection direction;
    bool usesMaster;
    bool usesPlugin;
    bool hasPlugin;
    bool included;
};

TEST(ScanFileChoice, AnExpansionIsIncludedByDirectionSaveAndInstalledPlugin) {
    const Inclusion cases[] = {
        {EnglishToItalian, true, false, true, true},  {EnglishToItalian, true, true, true, true},
        {EnglishToItalian, true, true, false, false}, {EnglishToItalian, false, true, true, false},
        {ItalianToEnglish, true, true, false, true},  {ItalianToEnglish, true, false, true, false},
        {ItalianToEnglish, false, true, true, false}, {BetaUnsupported, true, true, true, false},
    };
    test::ScanHarness harness;
    writeEveryFile(harness);
    for (const Inclusion& tribunal : cases) {
        for (const Inclusion& bloodmoon : cases) {
            if (tribunal.direction != bloodmoon.direction)
                continue;
            SaveInfo& save = harness.job.saveInfo;
            save.direction = tribunal.direction;
            save.usesTribunalMaster = tribunal.usesMaster;
            save.usesTribunalPlugin = tribunal.usesPlugin;
            harness.installation.hasTribunalPlugin = tribunal.hasPlugin;
            save.usesBloodmoonMaster = bloodmoon.usesMaster;
            save.usesBloodmoonPlugin = bloodmoon.usesPlugin;
            harness.installation.hasBloodmoonPlugin = bloodmoon.hasPlugin;
            ASSERT_TRUE(harness.scan());

            std::vector<std::string> expected = {MorrowindMasterName};
            if (tribunal.included)
                expected.push_back(TribunalMasterName);
            if (bloodmoon.included)
                expected.push_back(BloodmoonMasterName);
            expected.push_back(MorrowindPluginName);
            if (tribunal.included)
                expected.push_back(TribunalPluginFileName);
            if (bloodmoon.included)
                expected.push_back(BloodmoonPluginName);
            EXPECT_EQ(scannedFiles(harness), expected)
                << tribunal.direction << " T " << tribunal.usesMaster << tribunal.usesPlugin
                << tribunal.hasPlugin << " B " << bloodmoon.usesMaster << bloodmoon.usesPlugin
                << bloodmoon.hasPlugin;
        }
    }
}

TEST(ScanFileChoice, IncludedExpansionFilesThatCannotBeOpenedAreLeftOutSilently) {
    test::ScanHarness harness;
    writeEveryFile(harness);
    harness.includeExpansions();
    harness.installation.tribunalPluginName = PlaceholderTribunalPluginName;
    std::remove(harness.game.data(BloodmoonMasterName).c_str());
    ASSERT_TRUE(harness.scan());
    EXPECT_EQ(scannedFiles(harness), (std::vector<std::string>{MorrowindMasterName, TribunalMasterName,
                                                               MorrowindPluginName, BloodmoonPluginName}));
    EXPECT_TRUE(harness.messages.shown.empty());
}

// Records when each file is opened, first read and closed.
class TracingFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, const char* mode) override {
        auto file = base_.open(path, mode);
        if (!file)
            return nullptr;
        std::string name = path.substr(path.rfind('\\') + 1);
        trace.push_back("open " + name);
        return std::make_unique<TracingFile>(std::move(file), name, trace);
    }
    bool copyFile(const std::string&, const std::string&, bool) override { return false; }
    bool replaceFile(const std::string&, const std::string&) override { return false; }
    bool deleteFile(const std::string&) override { return false; }
    bool exists(const std::string& pattern) override { return base_.exists(pattern); }
    bool createFolder(const std::string&, bool&) override { return false; }
    bool listFolder(const std::string&, std::vector<FolderEntry>&) override { return false; }

    std::vector<std::string> trace;

private:
    class TracingFile final : public File {
    public:
        TracingFile(std::unique_ptr<File> file, std::string name, std::vector<std::string>& trace)
            : file_(std::move(file)), name_(std::move(name)), trace_(trace) {}
        ~TracingFile() override { trace_.push_back("close " + name_); }
        std::size_t read(void* buffer, std::size_t size) override {
            if (!read_)
                trace_.push_back("read " + name_);
            read_ = true;
            return file_->read(buffer, size);
        }
        std::size_t write(const void* buffer, std::size_t size) override {
            return file_->write(buffer, size);
        }
        bool seek(std::int64_t offset, SeekOrigin origin) override { return file_->seek(offset, origin); }
        std::int64_t tell() override { return file_->tell(); }
        bool flush() override { return file_->flush(); }
        bool close() override { return file_->close(); }

    private:
        std::unique_ptr<File> file_;
        std::string name_;
        std::vector<std::string>& trace_;
        bool read_ = false;
    };

    FileSystem& base_ = nativeFileSystem();
};

TEST(ScanOrder, OpensEveryFileFirstThenScansMastersAndPluginsInOrderClosingEachAfterItsScan) {
    test::ScanHarness harness;
    writeEveryFile(harness);
    harness.includeExpansions();
    TracingFileSystem files;
    harness.job.files = &files;
    ASSERT_TRUE(harness.scan());
    std::vector<std::string> expected;
    for (const char* name : {MorrowindMasterName, MorrowindPluginName, TribunalMasterName,
                             TribunalPluginFileName, BloodmoonMasterName, BloodmoonPluginName})
        expected.push_back(std::string("open ") + name);
    for (const char* name : AllFiles) {
        expected.push_back(std::string("read ") + name);
        expected.push_back(std::string("close ") + name);
    }
    EXPECT_EQ(files.trace, expected);

    // Each bar runs from its first file to its last before its image is set.
    const std::vector<std::string>& calls = harness.progress.calls;
    EXPECT_EQ(calls, (std::vector<std::string>{"bar 1016 50", "bar 1016 100", "bar 1016 50", "bar 1016 100",
                                               "bar 1016 50", "bar 1016 100", "image 1023 ok", "bar 1017 50",
                                               "bar 1017 100", "bar 1017 50", "bar 1017 100", "bar 1017 50",
                                               "bar 1017 100", "image 1024 ok"}));
}

TEST(ScanOrder, AFileWithACountOfZeroReadsOnlyItsHeaderAndEndsItsBarAtOneHundred) {
    test::ScanHarness harness;
    harness.writeBase();
    ASSERT_TRUE(harness.scan());
    EXPECT_EQ(harness.progress.calls,
              (std::vector<std::string>{"bar 1016 100", "image 1023 ok", "bar 1017 100", "image 1024 ok"}));
    EXPECT_EQ(harness.maps().recordCount(), 0u);
}

TEST(ScanRequiredFiles, AMissingMorrowindMasterOrPluginFailsItsBarsImageWithoutAMessage) {
    test::ScanHarness harness;
    EXPECT_FALSE(harness.scan());
    EXPECT_EQ(harness.progress.calls, (std::vector<std::string>{"image 1023 fail"}));

    harness.write(MorrowindMasterName, masterFile());
    EXPECT_FALSE(harness.scan());
    EXPECT_EQ(harness.progress.calls, (std::vector<std::string>{"image 1024 fail"}));
    EXPECT_TRUE(harness.messages.shown.empty());
}

TEST(ScanRequiredFiles, APathOfTwoHundredSixtyBytesOrMoreCountsAsNotOpened) {
    test::ScanHarness harness;
    const std::string suffix = std::string(DataFilesFolder) + MorrowindMasterName;
    for (std::size_t length : {259u, 260u}) {
        std::size_t padding = length - suffix.size() - harness.game.path().size() - 1;
        std::string folder = std::string(padding, 'p');
        harness.game.makeFolder(folder + "/Data Files");
        build::writeBytes(harness.game.file(folder + "/Data Files/" + MorrowindMasterName),
                          masterFile().bytes());
        build::writeBytes(harness.game.file(folder + "/Data Files/" + MorrowindPluginName),
                          pluginFile().bytes());
        harness.installation.installPath = harness.game.path() + "/" + folder;
        ASSERT_EQ((harness.installation.installPath + suffix).size(), length);
        EXPECT_FALSE(harness.scan());
        // The master's path fits at 259 bytes; the plugin's longer name never does here.
        EXPECT_EQ(harness.progress.calls,
                  (std::vector<std::string>{length == 259 ? "image 1024 fail" : "image 1023 fail"}));
    }
}

TEST(DemoGameScan, FillsEveryMapWithEnglishTextsAndTheirItalianTranslations) {
    test::ScanHarness harness;
    ASSERT_TRUE(demo::writeDemoGame(harness.game.path()));
    ASSERT_TRUE(harness.scan());
    const TranslationMaps& maps = harness.maps();
    ASSERT_EQ(maps.gmstMap.size(), 12u);
    for (const auto& [id, setting] : maps.gmstMap) {
        EXPECT_TRUE(id.starts_with("sMonth")) << id;
        EXPECT_NE(setting->findSubrecord("STRV"), nullptr) << id;
        EXPECT_NE(setting->translation(), nullptr) << id;
    }
    EXPECT_EQ(test::bytesOf(maps.gmstMap.at("sMonthMidyear")->translation()), "Met\xE0 Anno");
    EXPECT_GE(maps.npcNameMap.size(), 2u);
    EXPECT_GE(maps.itemNameMap.size(), 4u);
    EXPECT_EQ(maps.journalTopicMap.size(), 2u);
    int questNames = 0;
    int withPlayerName = 0;
    for (const auto& [id, entry] : maps.journalEntryMap) {
        ASSERT_NE(entry->translation(), nullptr) << id;
        questNames += entry->findSubrecord("QSTN") != nullptr;
        withPlayerName += test::bytesOf(entry->findSubrecord("NAME")).find("%Name") != std::string::npos;
    }
    EXPECT_GE(questNames, 1);
    EXPECT_GE(withPlayerName, 1);
    for (const auto& map : {&maps.npcNameMap, &maps.itemNameMap})
        for (const auto& [id, entry] : *map)
            EXPECT_NE(entry->translation(), nullptr) << id;
}

} // namespace
} // namespace orvella
