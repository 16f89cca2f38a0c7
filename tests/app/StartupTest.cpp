#include "app/Startup.h"
#include "RecordingUi.h"
#include "TestFolder.h"
#include "app/DataFileProbe.h"
#include "gamebuilder/GameBuilder.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace orvella {
namespace {

using test::GameFolder;
using test::RecordingMessageBoxes;

// Answers start-up's platform questions from its fields and notes every call in order.
class FakeStartupPlatform final : public StartupPlatform {
public:
    bool windowExists(const std::string& title) override {
        calls.push_back("find " + title);
        return otherCopy;
    }
    void registerCommonControls() override { calls.push_back("controls"); }
    bool loadLibrary(const std::string& name) override {
        calls.push_back("load " + name);
        return libraryLoads;
    }
    std::optional<std::string> readRegistryText(const std::string& key, const std::string& value) override {
        calls.push_back("read " + key + "|" + value);
        return registry;
    }
    bool writeRegistryText(const std::string& key, const std::string& value,
                           const std::string& text) override {
        calls.push_back("write " + key + "|" + value + "|" + text);
        return registryWritable;
    }
    std::optional<std::string> browseForFolder(const std::string& prompt) override {
        calls.push_back("browse " + prompt);
        return picked;
    }
    std::optional<FileVersion> fileVersion(const std::string& path) override {
        calls.push_back("version " + path);
        return version;
    }

    bool called(const std::string& prefix) const {
        for (const auto& call : calls)
            if (call.rfind(prefix, 0) == 0)
                return true;
        return false;
    }

    bool otherCopy = false;
    bool libraryLoads = true;
    std::optional<std::string> registry;
    bool registryWritable = true;
    std::optional<std::string> picked;
    std::optional<FileVersion> version;
    std::vector<std::string> calls;
};

// The machine's file system, except that no folder can be created.
class NoNewFolders final : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, const char* mode) override {
        return base.open(path, mode);
    }
    bool copyFile(const std::string& from, const std::string& to, bool overwrite) override { return false; }
    bool replaceFile(const std::string& from, const std::string& to) override { return false; }
    bool deleteFile(const std::string& path) override { return false; }
    bool exists(const std::string& pattern) override { return base.exists(pattern); }
    bool createFolder(const std::string& path, bool& alreadyExists) override {
        alreadyExists = false;
        return false;
    }
    bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override {
        return base.listFolder(path, entries);
    }

    FileSystem& base = nativeFileSystem();
};

const char* const RegistryKey = "SOFTWARE\\Bethesda Softworks\\Morrowind";
const char* const TribunalPlugin = "Tribunal LRK - Versione Finale.esp";

struct StartupTest : testing::Test {
    GameFolder game;
    FakeStartupPlatform platform;
    RecordingMessageBoxes messages;
    FileSystem* files = &nativeFileSystem();
    GameInstallation installation;

    StartupTest() {
        platform.registry = game.path();
        build::writeBytes(game.data("Morrowind.esm"), "master");
        build::writeBytes(game.data("Morrowind LRK - Versione Finale.esp"), "plugin-bytes");
    }

    std::optional<int> run() { return runStartup({platform, *files, messages}, installation); }

    void expectStop(const std::string& text, MessageIcon icon = MessageIcon::Warning) {
        EXPECT_EQ(run(), 1);
        ASSERT_EQ(messages.shown.size(), 1u);
        const Message& shown = messages.shown[0];
        EXPECT_EQ(shown.text, text);
        EXPECT_EQ(shown.caption, "Errore");
        EXPECT_EQ(shown.icon, icon);
        EXPECT_EQ(shown.buttons, MessageButtons::Ok);
        EXPECT_EQ(shown.owner, nullptr);
        EXPECT_TRUE(installation.installPath.empty());
    }
};

TEST_F(StartupTest, AnotherCopyOrAMissingRichEditLibraryEndsSilentlyWithZero) {
    platform.otherCopy = true;
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(platform.calls, std::vector<std::string>{"find LRK Orvella (by Quennic)"});

    platform = FakeStartupPlatform();
    platform.libraryLoads = false;
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(platform.calls,
              (std::vector<std::string>{"find LRK Orvella (by Quennic)", "controls", "load Riched20.dll"}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartupTest, AFolderFromTheRegistryNeedsNoExecutableAndFillsTheInstallation) {
    build::writeBytes(game.data("Bloodmoon.esm"), "bm");
    EXPECT_EQ(run(), std::nullopt);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(installation.installPath, game.path());
    EXPECT_FALSE(platform.called("browse"));
    EXPECT_FALSE(platform.called("write"));
    EXPECT_TRUE(platform.called(std::string("read ") + RegistryKey + "|Installed Path"));
    EXPECT_TRUE(platform.called("version " + game.path() + "\\Morrowind.exe"));

    EXPECT_EQ(installation.gameVersion.major, 0);
    EXPECT_EQ(installation.gameVersion.minor, 0);
    EXPECT_EQ(installation.tribunalPluginName, "*****************************");
    EXPECT_TRUE(installation.hasMorrowindMaster);
    EXPECT_TRUE(installation.hasMorrowindPlugin);
    EXPECT_FALSE(installation.hasTribunalMaster);
    EXPECT_FALSE(installation.hasTribunalPlugin);
    EXPECT_TRUE(installation.hasBloodmoonMaster);
    EXPECT_FALSE(installation.hasBloodmoonPlugin);
    EXPECT_EQ(installation.morrowindPluginSize, 12u);
    EXPECT_EQ(installation.tribunalPluginSize, 0u);
    EXPECT_EQ(installation.bloodmoonPluginSize, 0u);
}

TEST_F(StartupTest, ACancelledPickerStops) {
    platform.registry.reset();
    expectStop("Impossibile proseguire senza la selezione della directory.");
    EXPECT_TRUE(platform.called("browse Selezionare manualmente la directory di Morrowind."));
    EXPECT_FALSE(platform.called("version"));
}

TEST_F(StartupTest, APickedFolderWithoutTheExecutableStopsAndIsNotRemembered) {
    platform.registry.reset();
    platform.picked = game.path();
    expectStop("Impossibile trovare i files di Morrowind nella directory specificata.");
    EXPECT_FALSE(platform.called("write"));
}

TEST_F(StartupTest, APickedFolderIsWrittenToTheRegistryOnlyAfterTheExecutableIsFound) {
    platform.registry.reset();
    platform.picked = game.path();
    platform.registryWritable = false; // not being able to remember it is no reason to stop
    build::writeBytes(game.file("Morrowind.exe"), "MZ");
    EXPECT_EQ(run(), std::nullopt);
    EXPECT_TRUE(messages.shown.empty());
    std::vector<std::string> expected = {"find LRK Orvella (by Quennic)",
                                         "controls",
                                         "load Riched20.dll",
                                         std::string("read ") + RegistryKey + "|Installed Path",
                                         "browse Selezionare manualmente la directory di Morrowind.",
                                         std::string("write ") + RegistryKey + "|Installed Path|" +
                                             game.path(),
                                         "version " + game.path() + "\\Morrowind.exe"};
    EXPECT_EQ(platform.calls, expected);
    EXPECT_EQ(installation.installPath, game.path());
}

TEST_F(StartupTest, VersionsBelowOnePointTwoStopWithTheErrorIcon) {
    platform.version = FileVersion{1, 1, 9, 9};
    expectStop("Aggiornare Morrowind almeno alla versione 1.2.", MessageIcon::Error);
    EXPECT_EQ(installation.gameVersion.minor, 0);

    messages.shown.clear();
    platform.version = FileVersion{0, 0xFFFF, 0, 0};
    expectStop("Aggiornare Morrowind almeno alla versione 1.2.", MessageIcon::Error);
}

TEST_F(StartupTest, AcceptedVersionsAreKeptAndOnlyTheMinorNumberNamesTheTribunalPlugin) {
    build::writeBytes(game.data(TribunalPlugin), "tribunal");
    struct Case {
        FileVersion version;
        bool tribunalPlugin;
    };
    for (Case c : {Case{{1, 2, 0, 0}, false}, Case{{1, 3, 0, 0}, true}, Case{{1, 6, 1820, 7}, true},
                   Case{{2, 0, 0, 0}, false}, Case{{2, 3, 0, 0}, true}}) {
        platform.version = c.version;
        ASSERT_EQ(run(), std::nullopt);
        const GameVersion& kept = installation.gameVersion;
        EXPECT_EQ(kept.major, c.version.major);
        EXPECT_EQ(kept.minor, c.version.minor);
        EXPECT_EQ(kept.build, c.version.build);
        EXPECT_EQ(kept.revision, c.version.revision);
        EXPECT_EQ(installation.hasTribunalPlugin, c.tribunalPlugin)
            << c.version.major << "." << c.version.minor;
        EXPECT_EQ(installation.tribunalPluginSize, c.tribunalPlugin ? 8u : 0u);
        EXPECT_EQ(installation.tribunalPluginName,
                  c.tribunalPlugin ? TribunalPlugin : "*****************************");
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartupTest, TheTribunalPluginNameFollowsTheMinorNumberAlone) {
    EXPECT_STREQ(tribunalPluginNameFor({1, 2, 9, 9}), "*****************************");
    EXPECT_STREQ(tribunalPluginNameFor({1, 3, 0, 0}), TribunalPlugin);
    EXPECT_STREQ(tribunalPluginNameFor({0, 3, 0, 0}), TribunalPlugin);
    EXPECT_STREQ(tribunalPluginNameFor({7, 0, 0, 0}), "*****************************");
}

TEST_F(StartupTest, ARegistryFolderWithoutDataFilesStopsWithoutOfferingThePicker) {
    test::TestFolder empty;
    platform.registry = empty.path();
    expectStop("Directory dei Dati di Morrowind non trovata.");
    EXPECT_FALSE(platform.called("browse"));
    EXPECT_FALSE(platform.called("write"));
}

TEST_F(StartupTest, MissingSavesFolderStops) {
    test::TestFolder folder;
    folder.makeFolder("Data Files");
    platform.registry = folder.path();
    expectStop("Directory dei Salvataggi di Morrowind non trovata.");
}

TEST_F(StartupTest, TheBackupFolderIsCreatedOrAcceptedWhenItExists) {
    test::TestFolder folder;
    folder.makeFolder("Data Files");
    folder.makeFolder("Saves");
    build::writeBytes(folder.file("Data Files/Morrowind.esm"), "m");
    build::writeBytes(folder.file("Data Files/Morrowind LRK - Versione Finale.esp"), "p");
    platform.registry = folder.path();
    EXPECT_EQ(run(), std::nullopt);
    EXPECT_TRUE(folder.exists("LRK Saves Backup"));
    EXPECT_EQ(run(), std::nullopt);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartupTest, ABackupFolderThatCannotBeCreatedStops) {
    NoNewFolders noFolders;
    files = &noFolders;
    expectStop("Impossibile creare la direcory di Backup.");
}

TEST_F(StartupTest, TheMorrowindMasterAndItsPluginAreRequiredInThatOrder) {
    std::remove(game.data("Morrowind.esm").c_str());
    std::remove(game.data("Morrowind LRK - Versione Finale.esp").c_str());
    expectStop("Impossibile trovare il file \"Morrowind.esm\".");

    messages.shown.clear();
    build::writeBytes(game.data("Morrowind.esm"), "master");
    expectStop("Impossibile proseguire senza il plugin di traduzione di Morrowind base.");
}

TEST(DataFileProbeTest, MeasuresTheFileOnlyWhenAskedTo) {
    GameFolder game;
    GameInstallation installation;
    installation.installPath = game.path();
    build::writeBytes(game.data("Bloodmoon.esm"), std::string(1000, 'x'));
    std::uint32_t size = 7;
    EXPECT_TRUE(probeDataFile(nativeFileSystem(), installation, "Bloodmoon.esm", &size));
    EXPECT_EQ(size, 1000u);
    EXPECT_TRUE(probeDataFile(nativeFileSystem(), installation, "Bloodmoon.esm"));
    size = 7;
    EXPECT_FALSE(probeDataFile(nativeFileSystem(), installation, "Tribunal.esm", &size));
    EXPECT_EQ(size, 7u);
    game.makeFolder("Data Files/Folder.esm");
    EXPECT_FALSE(probeDataFile(nativeFileSystem(), installation, "Folder.esm"));
}

} // namespace
} // namespace orvella
