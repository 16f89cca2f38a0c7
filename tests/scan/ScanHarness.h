#pragma once

#include "TestFolder.h"
#include "gamebuilder/GameBuilder.h"
#include "scan/MasterScan.h"

#include <algorithm>
#include <string>

namespace orvella::test {

inline build::GameFileBuilder masterFile() {
    return build::GameFileBuilder({.kind = build::FileKind::Master});
}
inline build::GameFileBuilder pluginFile() {
    return build::GameFileBuilder({.kind = build::FileKind::Plugin, .masters = {{"Morrowind.esm", 1}}});
}

// Runs only the master and plugin scan of a job over a game folder, with fresh maps each time, and keeps what
// it told, each event followed by "|": "masters 1/2" for records done of a file, "masters done" once a pass
// is complete.
struct ScanHarness : ScanProgress {
    ScanHarness() {
        installation.installPath = game.path();
        installation.tribunalPluginName = TribunalPluginName;
    }

    void scanned(ScanPass pass, std::uint32_t done, std::uint32_t total) override {
        told += std::string(pass == MasterPass ? "masters " : "plugins ") + std::to_string(done) + "/" +
                std::to_string(total) + "|";
    }
    void passCompleted(ScanPass pass) override {
        told += pass == MasterPass ? "masters done|" : "plugins done|";
    }

    void write(const std::string& name, const std::string& bytes) const {
        build::writeBytes(game.data(name), bytes);
    }
    void write(const std::string& name, const build::GameFileBuilder& file) const {
        write(name, file.bytes());
    }
    // Writes the two files every scan needs.
    void writeBase(const build::GameFileBuilder& master, const build::GameFileBuilder& plugin) const {
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
        told.clear();
        error = ScanError();
        maps = TranslationMaps();
        return scanMastersAndPlugins(nativeFileSystem(), installation,
                                     includedExpansions(saveInfo, installation), maps, *this, error);
    }

    GameFolder game;
    GameInstallation installation;
    SaveInfo saveInfo;
    std::string told;
    ScanError error;
    TranslationMaps maps;
};

// A kept entry in one line: "TAG=data" of each subrecord, then of the translation, every byte kept and a NUL
// shown as "~".
inline std::string describe(const TranslatedRecord& entry) {
    std::string out;
    for (const auto& subrecord : entry.subrecords())
        out += std::string(subrecord->tag.str()) + "=" +
               std::string(subrecord->data.begin(), subrecord->data.end()) + " ";
    if (const Subrecord* translation = entry.translation())
        out += "-TR-=" + std::string(translation->data.begin(), translation->data.end());
    std::replace(out.begin(), out.end(), '\0', '~');
    return out;
}

} // namespace orvella::test
