#pragma once

#include "TestFolder.h"
#include "gamebuilder/GameBuilder.h"
#include "scan/MasterScan.h"

#include <algorithm>
#include <string>
#include <vector>

namespace orvella::test {

inline build::GameFileBuilder masterFile() {
    return build::GameFileBuilder({.kind = build::FileKind::Master});
}
inline build::GameFileBuilder pluginFile() {
    return build::GameFileBuilder({.kind = build::FileKind::Plugin, .masters = {{"Morrowind.esm", 1}}});
}

// Keeps what the scan told, each event followed by "|": "masters 1/2" for records done of the current file,
// "masters done" once a pass is complete.
struct RecordingScanProgress final : ScanProgress {
    void scanned(ScanPass pass, std::uint32_t done, std::uint32_t total) override {
        told += nameOf(pass) + " " + std::to_string(done) + "/" + std::to_string(total) + "|";
    }
    void passCompleted(ScanPass pass) override { told += nameOf(pass) + " done|"; }
    static std::string nameOf(ScanPass pass) { return pass == MasterPass ? "masters" : "plugins"; }

    std::string told;
};

// Runs only the master and plugin scan of a job over a game folder, with fresh maps each time.
struct ScanHarness {
    ScanHarness() {
        installation.installPath = game.path();
        installation.tribunalPluginName = TribunalPluginName;
    }

    void write(const std::string& name, const build::GameFileBuilder& file) const {
        file.writeTo(game.data(name));
    }
    void write(const std::string& name, const std::string& bytes) const {
        build::writeBytes(game.data(name), bytes);
    }
    // Writes the two files every scan needs, empty unless given.
    void writeBase(const build::GameFileBuilder& master = masterFile(),
                   const build::GameFileBuilder& plugin = pluginFile()) const {
        write(MorrowindMasterName, master);
        write(MorrowindPluginName, plugin);
    }

    // Every expansion file takes part: an English save that lists both masters, with both plugins installed.
    void includeExpansions() {
        saveInfo.direction = EnglishToItalian;
        saveInfo.usesTribunalMaster = saveInfo.usesBloodmoonMaster = true;
        installation.hasTribunalPlugin = installation.hasBloodmoonPlugin = true;
    }

    bool scan() {
        progress = RecordingScanProgress();
        error = ScanError();
        maps = TranslationMaps();
        return scanMastersAndPlugins(files ? *files : nativeFileSystem(), installation,
                                     includedExpansions(saveInfo, installation), maps, progress, error);
    }

    GameFolder game;
    GameInstallation installation;
    SaveInfo saveInfo;
    FileSystem* files = nullptr;
    RecordingScanProgress progress;
    ScanError error;
    TranslationMaps maps;
};

// A kept entry in one line: "TAG=data" of each subrecord, then of the translation, every byte kept and a NUL
// shown as "~".
inline std::string describe(const TranslatedRecord& entry) {
    std::string out;
    auto add = [&out](const Subrecord& subrecord, const char* end) {
        out += std::string(subrecord.tag.str()) + "=" +
               std::string(subrecord.data.begin(), subrecord.data.end()) + end;
    };
    for (const auto& subrecord : entry.subrecords())
        add(*subrecord, " ");
    if (entry.translation())
        add(*entry.translation(), "");
    std::replace(out.begin(), out.end(), '\0', '~');
    return out;
}

} // namespace orvella::test
