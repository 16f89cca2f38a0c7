#include "app/Startup.h"
#include "FaultInjectingFileSystem.h"
#include "RecordingUi.h"
#include "TestFolder.h"
#include "app/DataFileProbe.h"
#include "gamebuilder/GameBuilder.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>

namespace orvella {
namespace {

// Answers start-up's platform questions from its fields and notes every call in order.
class FakeStartupPlatform final : public StartupPlatform {
public:
    bool windowExists(const std::string& title) override { return note("find " + title, otherCopy); }
    void registerCommonControls() override { note("controls", 0); }
    bool loadLibrary(const std::string& name) override { return note("load " + name, libraryLoads); }
    std::optional<std::string> readRegistryText(const std::string& key, const std::string& value) override {
        return note("read " + key + "|" + value, registry);
    }
    bool writeRegistryText(const std::string& key, const std::string& value,
                           const std::string& text) override {
        return note("write " + key + "|" + value + "|" + text, registryWritable);
    }
    std::optional<std::string> browseForFolder(const std::string& prompt) override {
        return note("browse " + prompt, picked);
    }
    std::optional<FileVersion> fileVersion(const std::string& path) override {
        return note("version " + path, version);
    }

    template <typename Answer> Answer note(const std::string& call, Answer answer) {
        calls.push_back(call);
        return answer;
    }
    bool called(const std::string& prefix) const {
        return std::any_of(calls.begin(), calls.end(),
                           [&](const std::string& call) { return call.starts_with(prefix); });
    }

    bool otherCopy = false;
    bool libraryLoads = true;
    std::optional<std::string> registry;
    bool registryWritable = true;
    std::optional<std::string> picked;
    std::optional<FileVersion> version;
    std::vector<std::string> calls;
};

const std::string ReadRegistry = "read SOFTWARE\\Bethesda Softworks\\Morrowind|Installed Path";
const std::string Placeholder = "*****************************";

// A game folder with the Morrowind master and its plugin, named in the registry.
struct Startup {
    test::GameFolder game;
    FakeStartupPlatform platform;
    test::RecordingMessageBoxes messages;
    test::FaultInjectingFileSystem files{nativeFileSystem()};
    GameInstallation installation;

    Startup() {
        platform.registry = game.path();
        build::writeBytes(game.data(MorrowindMasterName), "master");
        build::writeBytes(game.data(MorrowindPluginName), "plugin-bytes");
    }
    std::optional<int> run() { return runStartup({platform, files, messages}, installation); }
};

TEST(StartupTest, AnotherCopyOrAMissingRichEditLibraryEndsSilentlyWithZero) {
    Startup other;
    other.platform.otherCopy = true;
    EXPECT_EQ(other.run(), 0);
    EXPECT_EQ(other.platform.calls, std::vector<std::string>{"find LRK Orvella (by Quennic)"});

    Startup noLibrary;
    noLibrary.platform.libraryLoads = false;
    EXPECT_EQ(noLibrary.run(), 0);
    EXPECT_EQ(noLibrary.platform.calls,
              (std::vector<std::string>{"find LRK Orvella (by Quennic)", "controls", "load Riched20.dll"}));
    EXPECT_TRUE(other.messages.shown.empty() && noLibrary.messages.shown.empty());
}

// Each message is checked by the piece that tells it from the others.
TEST(StartupTest, EachFailedCheckStopsWithItsMessageAndExitCodeOne) {
    const auto remove = [](Startup& s, const char* file) { std::remove(s.game.data(file).c_str()); };
    static const FileVersion tooOld{1, 1, 9, 9}, majorZero{0, 0xFFFF, 0, 0};
    const struct {
        const char* piece;
        MessageIcon icon;
        std::function<void(Startup&)> arrange;
    } cases[] = {
        {"senza la selezione della directory", MessageIcon::Warning,
         [](Startup& s) { s.platform.registry.reset(); }},
        {"trovare i files di Morrowind", MessageIcon::Warning,
         [](Startup& s) { s.platform.picked = *std::exchange(s.platform.registry, std::nullopt); }},
        {"almeno alla versione 1.2", MessageIcon::Error, [](Startup& s) { s.platform.version = tooOld; }},
        {"almeno alla versione 1.2", MessageIcon::Error, [](Startup& s) { s.platform.version = majorZero; }},
        {"Dati di Morrowind", MessageIcon::Warning,
         [](Startup& s) { s.platform.registry = s.game.file("elsewhere"); }},
        {"Salvataggi di Morrowind", MessageIcon::Warning,
         [](Startup& s) {
             s.game.makeFolder("other/Data Files");
             s.platform.registry = s.game.file("other");
         }},
        {"di Backup", MessageIcon::Warning, [](Startup& s) { s.files.failEvery(test::FileCall::Folder); }},
        {"\"Morrowind.esm\"", MessageIcon::Warning,
         [&](Startup& s) {
             remove(s, MorrowindMasterName);
             remove(s, MorrowindPluginName);
         }},
        {"plugin di traduzione di Morrowind", MessageIcon::Warning,
         [&](Startup& s) { remove(s, MorrowindPluginName); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.piece);
        Startup startup;
        c.arrange(startup);
        const bool registered = startup.platform.registry.has_value();
        EXPECT_EQ(startup.run(), 1);
        ASSERT_EQ(startup.messages.shown.size(), 1u);
        const Message& shown = startup.messages.shown[0];
        EXPECT_NE(shown.text.find(c.piece), std::string::npos) << shown.text;
        EXPECT_EQ(shown.caption, "Errore");
        EXPECT_EQ(shown.icon, c.icon);
        EXPECT_EQ(shown.owner, nullptr);
        EXPECT_TRUE(startup.installation.installPath.empty());
        EXPECT_EQ(startup.installation.gameVersion.minor, 0);
        // The picker is offered only when the registry names no folder, and a stop is never remembered.
        EXPECT_EQ(startup.platform.called("browse Selezionare manualmente la directory di Morrowind."),
                  !registered);
        EXPECT_FALSE(startup.platform.called("write"));
        EXPECT_EQ(startup.platform.called("version"), registered);
    }
}

// Which files were found, and the plugins' sizes.
std::string filesOf(const GameInstallation& game) {
    return std::string(game.hasMorrowindMaster ? "M" : "-") + (game.hasTribunalMaster ? "T" : "-") +
           (game.hasBloodmoonMaster ? "B" : "-") + (game.hasMorrowindPlugin ? "m" : "-") +
           (game.hasTribunalPlugin ? "t" : "-") + (game.hasBloodmoonPlugin ? "b" : "-") + " " +
           std::to_string(game.morrowindPluginSize) + "/" + std::to_string(game.tribunalPluginSize) + "/" +
           std::to_string(game.bloodmoonPluginSize) + " " + game.tribunalPluginName;
}

// A folder from the registry needs no executable; a picked one is written to the registry only after the
// executable is found, and not being able to remember it is no reason to stop.
TEST(StartupTest, AFolderFromTheRegistryOrPickedFillsTheInstallation) {
    for (bool picked : {false, true}) {
        SCOPED_TRACE(picked);
        Startup startup;
        std::vector<std::string> calls = {"find LRK Orvella (by Quennic)", "controls", "load Riched20.dll",
                                          ReadRegistry};
        if (picked) {
            startup.platform.picked = *std::exchange(startup.platform.registry, std::nullopt);
            startup.platform.registryWritable = false;
            build::writeBytes(startup.game.file("Morrowind.exe"), "MZ");
            calls.push_back("browse Selezionare manualmente la directory di Morrowind.");
            calls.push_back("write SOFTWARE\\Bethesda Softworks\\Morrowind|Installed Path|" +
                            startup.game.path());
        }
        calls.push_back("version " + startup.game.path() + "\\Morrowind.exe");
        std::filesystem::remove(startup.game.file("LRK Saves Backup"));
        build::writeBytes(startup.game.data(BloodmoonMasterName), "bm");
        EXPECT_EQ(startup.run(), std::nullopt);
        EXPECT_TRUE(startup.messages.shown.empty());
        EXPECT_EQ(startup.installation.installPath, startup.game.path());
        EXPECT_EQ(startup.platform.calls, calls);
        EXPECT_EQ(startup.installation.gameVersion.major, 0);
        EXPECT_EQ(filesOf(startup.installation), "M-Bm-- 12/0/0 " + Placeholder);
        // It made the backup folder, and takes it as it is the next time.
        EXPECT_TRUE(startup.game.exists("LRK Saves Backup"));
        EXPECT_EQ(startup.run(), std::nullopt);
        EXPECT_TRUE(startup.messages.shown.empty());
    }
}

// Start-up takes a game whose longest path is one byte below the platform's limit, which the scan takes too,
// and names the path that reaches it, instead of reporting a file or a folder as missing.
TEST(StartupTest, APathAtThePlatformsLimitIsTakenAndOneByteMoreIsNamed) {
    const std::string longest = std::string(DataFilesFolder) + MorrowindPluginName;
    for (std::size_t length : {PathLimit - 1, PathLimit}) {
        Startup startup;
        const std::string folder = startup.game.makeFolderOfLength(length - longest.size());
        const std::string relative = folder.substr(startup.game.path().size() + 1);
        for (const char* inner : {"/Data Files", "/Saves"})
            startup.game.makeFolder(relative + inner);
        for (const char* file : {MorrowindMasterName, MorrowindPluginName})
            build::writeBytes(folder + "/Data Files/" + file, "x");
        startup.platform.registry = folder;
        ASSERT_EQ((folder + longest).size(), length);
        if (length < PathLimit) {
            EXPECT_EQ(startup.run(), std::nullopt);
            EXPECT_TRUE(startup.messages.shown.empty());
            EXPECT_TRUE(startup.installation.hasMorrowindPlugin);
            continue;
        }
        EXPECT_EQ(startup.run(), 1);
        ASSERT_EQ(startup.messages.shown.size(), 1u);
        EXPECT_NE(startup.messages.shown[0].text.find("\"" + folder + longest + "\" \xE8 troppo lungo"),
                  std::string::npos);
        EXPECT_EQ(startup.messages.shown[0].icon, MessageIcon::Warning);
        EXPECT_FALSE(startup.game.exists(relative + "/LRK Saves Backup"));
    }
}

TEST(StartupTest, AcceptedVersionsAreKeptAndOnlyTheMinorNumberNamesTheTribunalPlugin) {
    Startup startup;
    build::writeBytes(startup.game.data(TribunalPluginName), "tribunal");
    for (FileVersion version : {FileVersion{1, 2, 0, 0}, FileVersion{1, 3, 0, 0}, FileVersion{1, 6, 1820, 7},
                                FileVersion{2, 0, 0, 0}, FileVersion{2, 3, 0, 0}}) {
        startup.platform.version = version;
        ASSERT_EQ(startup.run(), std::nullopt);
        const GameVersion& kept = startup.installation.gameVersion;
        EXPECT_EQ(std::tie(kept.major, kept.minor, kept.build, kept.revision),
                  std::tie(version.major, version.minor, version.build, version.revision));
        EXPECT_EQ(filesOf(startup.installation), version.minor >= 3
                                                     ? "M--mt- 12/8/0 " + std::string(TribunalPluginName)
                                                     : "M--m-- 12/0/0 " + Placeholder)
            << version.major << "." << version.minor;
    }
    EXPECT_TRUE(startup.messages.shown.empty());
    EXPECT_EQ(tribunalPluginNameFor({0, 3, 0, 0}), std::string(TribunalPluginName));
    EXPECT_EQ(tribunalPluginNameFor({7, 2, 9, 9}), Placeholder);
}

TEST(DataFileProbeTest, MeasuresTheFileOnlyWhenAskedTo) {
    test::GameFolder game;
    GameInstallation installation;
    installation.installPath = game.path();
    build::writeBytes(game.data("Bloodmoon.esm"), std::string(1000, 'x'));
    game.makeFolder("Data Files/Folder.esm");
    std::uint32_t size = 7;
    EXPECT_TRUE(probeDataFile(nativeFileSystem(), installation, "Bloodmoon.esm", &size));
    EXPECT_EQ(size, 1000u);
    EXPECT_TRUE(probeDataFile(nativeFileSystem(), installation, "Bloodmoon.esm"));
    EXPECT_FALSE(probeDataFile(nativeFileSystem(), installation, "Tribunal.esm", &size));
    EXPECT_FALSE(probeDataFile(nativeFileSystem(), installation, "Folder.esm", &size));
    EXPECT_EQ(size, 1000u);
}

} // namespace
} // namespace orvella
