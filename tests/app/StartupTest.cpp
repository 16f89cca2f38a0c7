#include "app/Startup.h"
#include "FaultInjectingFileSystem.h"
#include "RecordingUi.h"
#include "TestFolder.h"
#include "app/VersionResource.h"
#include "gamebuilder/GameBuilder.h"
#include "platform/MemoryFile.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

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
        return std::any_of(calls.begin(), calls.end(), [&](auto& call) { return call.starts_with(prefix); });
    }

    bool otherCopy = false, libraryLoads = true, registryWritable = true;
    std::optional<std::string> registry, picked;
    std::optional<FileVersion> version;
    std::vector<std::string> calls;
};

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
    void remove(const char* file) { std::remove(game.data(file).c_str()); }
};

std::string filesOf(const GameInstallation& installation) {
    std::string files;
    for (const InstalledGame& game : installation.games)
        files += std::string(game.hasMaster ? "M" : "-") + (game.hasPlugin ? "p" : "-") +
                 std::to_string(game.pluginSize) + " ";
    return files + installation.installed(Game::Tribunal).pluginName;
}

// Another copy or a missing rich-edit library ends silently with 0; each failed check stops with its message
// (checked by the piece that tells it from the others) and 1. The picker is offered only when the registry
// names no folder, and a stop is never remembered.
TEST(StartupTest, EachFailedCheckStopsWithItsMessage) {
    static const FileVersion TooOld{1, 1, 9, 9}, MajorZero{0, 0xFFFF, 0, 0};
    const struct {
        const char* piece;
        MessageIcon icon;
        std::function<void(Startup&)> arrange;
    } cases[] = {
        {"", {}, [](Startup& s) { s.platform.otherCopy = true; }},
        {"", {}, [](Startup& s) { s.platform.libraryLoads = false; }},
        {"senza la selezione della directory", MessageIcon::Warning,
         [](Startup& s) { s.platform.registry.reset(); }},
        {"trovare i files di Morrowind", MessageIcon::Warning,
         [](Startup& s) { s.platform.picked = *std::exchange(s.platform.registry, std::nullopt); }},
        {"almeno alla versione 1.2", MessageIcon::Error, [](Startup& s) { s.platform.version = TooOld; }},
        {"almeno alla versione 1.2", MessageIcon::Error, [](Startup& s) { s.platform.version = MajorZero; }},
        {"Dati di Morrowind", MessageIcon::Warning,
         [](Startup& s) { s.platform.registry = s.game.file("elsewhere"); }},
        {"Salvataggi di Morrowind", MessageIcon::Warning,
         [](Startup& s) {
             s.game.makeFolder("other/Data Files");
             s.platform.registry = s.game.file("other");
         }},
        {"di Backup", MessageIcon::Warning, [](Startup& s) { s.files.failEvery(test::FileCall::Folder); }},
        {"\"Morrowind.esm\"", MessageIcon::Warning,
         [](Startup& s) {
             s.remove(MorrowindMasterName);
             s.remove(MorrowindPluginName);
         }},
        {"plugin di traduzione di Morrowind", MessageIcon::Warning,
         [](Startup& s) { s.remove(MorrowindPluginName); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.piece);
        Startup startup;
        c.arrange(startup);
        const bool registered = startup.platform.registry.has_value(), silent = !*c.piece;
        EXPECT_EQ(startup.run(), silent ? 0 : 1);
        EXPECT_EQ(startup.messages.shown.size(), silent ? 0u : 1u);
        for (const Message& shown : startup.messages.shown)
            EXPECT_TRUE(shown.text.find(c.piece) != std::string::npos && shown.caption == "Errore" &&
                        shown.icon == c.icon && !shown.owner)
                << shown.text;
        EXPECT_EQ(startup.installation.installPath + std::to_string(startup.installation.gameVersion.minor),
                  "0");
        const FakeStartupPlatform& platform = startup.platform;
        EXPECT_EQ(std::tuple(platform.called("browse Selezionare manualmente la directory di Morrowind."),
                             platform.called("write"), platform.called("version"), platform.called("load")),
                  std::tuple(!registered, false, registered && !silent, !platform.otherCopy));
    }
}

// A folder from the registry needs no executable; a picked one is written to the registry only after the
// executable is found, and not being able to remember it is no reason to stop. Versions from 1.2 are kept,
// and from minor number 3 the Tribunal plugin has its real name.
TEST(StartupTest, AFolderFromTheRegistryOrPickedFillsTheInstallation) {
    for (bool picked : {false, true}) {
        SCOPED_TRACE(picked);
        Startup startup;
        std::vector<std::string> calls = {"find LRK Orvella (by Quennic)", "controls", "load Riched20.dll",
                                          "read SOFTWARE\\Bethesda Softworks\\Morrowind|Installed Path"};
        if (picked) {
            startup.platform.picked = *std::exchange(startup.platform.registry, std::nullopt);
            startup.platform.registryWritable = false;
            build::writeBytes(startup.game.file("Morrowind.exe"), "MZ");
            calls.push_back("browse Selezionare manualmente la directory di Morrowind.");
            calls.push_back("write SOFTWARE\\Bethesda Softworks\\Morrowind|Installed Path|" +
                            startup.game.path());
        }
        calls.push_back("version " + startup.game.path() + "\\Morrowind.exe");
        startup.platform.version = picked ? FileVersion{1, 3, 1820, 7} : FileVersion{1, 2, 0, 0};
        std::filesystem::remove(startup.game.file("LRK Saves Backup"));
        build::writeBytes(startup.game.data(BloodmoonMasterName), "bm");
        EXPECT_TRUE(startup.run() == std::nullopt && startup.messages.shown.empty());
        EXPECT_EQ(startup.platform.calls, calls);
        const GameVersion& kept = startup.installation.gameVersion;
        EXPECT_EQ(std::tuple(kept.major, kept.minor, kept.build, kept.revision),
                  picked ? std::tuple(1, 3, 1820, 7) : std::tuple(1, 2, 0, 0));
        EXPECT_EQ(startup.installation.installPath + " " + filesOf(startup.installation),
                  startup.game.path() + " Mp12 --0 M-0 " +
                      (picked ? TribunalPluginName : "*****************************"));
        EXPECT_TRUE(startup.game.exists("LRK Saves Backup"));
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
        const bool fits = length < PathLimit;
        EXPECT_EQ(startup.run(), fits ? std::nullopt : std::optional(1));
        EXPECT_EQ(std::pair(startup.installation.installed(Game::Base).hasPlugin,
                            startup.game.exists(relative + "/LRK Saves Backup")),
                  std::pair(fits, fits));
        const std::string named = "\"" + folder + longest + "\" \xE8 troppo lungo";
        const auto& shown = startup.messages.shown;
        EXPECT_EQ(shown.size() == 1 && shown[0].text.find(named) != std::string::npos, !fits);
    }
}

using build::u32;

std::string u16(std::uint16_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8)};
}

// The bytes with the value written at the offset, lengthened with zeros where they are too short.
std::string with(std::string bytes, std::size_t offset, const std::string& value) {
    bytes.resize(std::max(bytes.size(), offset + value.size()), '\0');
    return bytes.replace(offset, value.size(), value);
}

// A minimal executable image: headers, then one resource section whose directory tree leads from the
// version type through name 1 and one language to a VS_VERSIONINFO block.
struct ImageLayout {
    bool wide = false; // a 64-bit image, whose data directories sit further down
    std::uint32_t fileVersionHigh = 0x00010006, fileVersionLow = 0x0000071C, signature = 0xFEEF04BD;
    std::uint32_t resourceRva = 0x1000, versionType = 16, versionName = 1;
    std::int64_t blockRvaShift = 0;
    std::uint32_t blockSizeExtra = 0;
};

constexpr std::size_t SectionStart = 0x200;
constexpr std::uint32_t SectionRva = 0x1000;

std::string resourceSection(const ImageLayout& layout) {
    // Root: one named entry (a string-named type, skipped) and two ids, the version type last, whose one name
    // has one language; the other type's directory, at 0x60, is empty.
    std::string section = with({}, 0x0C,
                               u16(1) + u16(2) + u32(0x80000200) + u32(0x80000060) + u32(3) +
                                   u32(0x80000060) + u32(layout.versionType) + u32(0x80000030));
    section = with(section, 0x3E, u16(1) + u32(layout.versionName) + u32(0x80000048));
    section = with(section, 0x56, u16(1) + u32(0x409) + u32(0x70));
    std::string block = u16(0) + u16(52) + u16(0);
    for (char c : std::string("VS_VERSION_INFO"))
        block += u16(static_cast<std::uint8_t>(c));
    // The key's NUL and the padding to 40 bytes, the fixed file info, then the product version and 28 bytes.
    block += u16(0) + u16(0) + u32(layout.signature) + u32(0x00010000) + u32(layout.fileVersionHigh) +
             u32(layout.fileVersionLow) + u32(0x00010006) + std::string(32, '\0');
    block = with(block, 0, u16(static_cast<std::uint16_t>(block.size())));
    section = with(section, 0x70,
                   u32(static_cast<std::uint32_t>(SectionRva + 0x80 + layout.blockRvaShift)) +
                       u32(static_cast<std::uint32_t>(block.size()) + layout.blockSizeExtra));
    return with(section, 0x80, block);
}

std::string image(const ImageLayout& layout = {}) {
    const std::string section = resourceSection(layout);
    const std::string size = u32(static_cast<std::uint32_t>(section.size()));
    const std::uint16_t optionalSize = layout.wide ? 240 : 224;
    const std::size_t directoryCount = 0x58 + (layout.wide ? 108 : 92);
    std::string bytes = with("MZ", 0x3C, u32(0x40));
    bytes = with(bytes, 0x40,
                 std::string("PE\0\0", 4) + u16(0x14C) + u16(1) + std::string(12, '\0') + u16(optionalSize) +
                     u16(0x102) + u16(layout.wide ? 0x20B : 0x10B));
    bytes = with(bytes, directoryCount, u32(16));
    bytes = with(bytes, directoryCount + 20, u32(layout.resourceRva) + size);
    bytes = with(bytes, 0x58 + optionalSize,
                 std::string(".rsrc\0\0\0", 8) + size + u32(SectionRva) + size + u32(SectionStart) +
                     std::string(16, '\0'));
    return with(bytes, SectionStart, section);
}

// The version as "major.minor.build.revision", or "none".
std::string versionOf(std::string bytes) {
    MemoryFile file(std::move(bytes));
    auto version = readFixedFileVersion(file);
    return version ? std::to_string(version->major) + "." + std::to_string(version->minor) + "." +
                         std::to_string(version->build) + "." + std::to_string(version->revision)
                   : "none";
}

TEST(VersionResourceTest, ReadsTheFixedFileVersionAndNothingFromImagesWithoutItCutShortOrPointingOutside) {
    const std::string whole = image(), none = "none";
    std::string keyToTheEnd = whole;
    for (std::size_t i = SectionStart + 0x80 + 6 + 15 * 2; i < keyToTheEnd.size(); i += 2)
        keyToTheEnd = with(keyToTheEnd, i, u16('A'));
    const struct {
        const char* what;
        std::string bytes, version;
    } cases[] = {
        {"32 bits", whole, "1.6.0.1820"},
        {"64 bits", image({.wide = true}), "1.6.0.1820"},
        {"every bit", image({.fileVersionHigh = 0xABCD1234, .fileVersionLow = 0x56789EF0}),
         "43981.4660.22136.40688"},
        {"version block under another name", image({.versionName = 7}), "1.6.0.1820"},
        {"no resources", image({.resourceRva = 0}), none},
        {"no version type", image({.versionType = 6}), none},
        {"wrong signature", image({.signature = 0x12345678}), none},
        {"resources outside every section", image({.resourceRva = 0x5000}), none},
        {"block outside every section", image({.blockRvaShift = 0x10000}), none},
        {"block longer than its section", image({.blockSizeExtra = 0x1000}), none},
        {"not an executable", "not an executable", none},
        {"empty block", with(whole, SectionStart + 0x74, u32(0)), none},
        {"block too short for its fixed file info", with(whole, SectionStart + 0x74, u32(60)), none},
        {"PE header offset past the end", with(whole, 0x3C, u32(0xFFFFFFF0)), none},
        {"too many sections", with(whole, 0x46, u16(0xFFFF)), none},
        {"huge optional header", with(whole, 0x54, u16(0xFFFF)), none},
        {"too few data directories", with(whole, 0x58 + 92, u32(2)), none},
        {"optional header of no known kind", with(with(whole, 0x58, u16(0x107)), 0x58 + 20, u32(0x1000)),
         none},
        {"long directory", with(image({.versionType = 6}), SectionStart + 0x0E, u16(0xFFFF)), none},
        {"version type past the count", with(whole, SectionStart + 0x0C, u16(0) + u16(2)), none},
        {"subdirectory offset wrapping", with(whole, SectionStart + 0x24, u32(0xFFFFFFFF)), none},
        {"key running to the end of the block", keyToTheEnd, none},
    };
    for (const auto& c : cases)
        EXPECT_EQ(versionOf(c.bytes), c.version) << c.what;
    for (std::size_t size = 0; size < whole.size(); ++size)
        EXPECT_EQ(versionOf(whole.substr(0, size)), none) << "cut at " << size;
}

} // namespace
} // namespace orvella
