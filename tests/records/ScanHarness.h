#pragma once

#include "RecordingUi.h"
#include "TestFolder.h"
#include "gamebuilder/GameBuilder.h"
#include "job/JobState.h"
#include "job/ProgressControls.h"
#include "scan/HandlerTables.h"
#include "scan/MasterScan.h"

#include <algorithm>
#include <memory>
#include <string>

namespace orvella::test {

inline build::GameFileBuilder masterFile() {
    return build::GameFileBuilder({.kind = build::FileKind::Master});
}
inline build::GameFileBuilder pluginFile() {
    return build::GameFileBuilder({.kind = build::FileKind::Plugin, .masters = {{"Morrowind.esm", 1}}});
}

// Runs only the master and plugin scan of a job over a game folder, with a fresh job state each time.
struct ScanHarness {
    ScanHarness() {
        installation.installPath = game.path();
        installation.tribunalPluginName = TribunalPluginName;
        job.installation = &installation;
        job.files = &nativeFileSystem();
        job.messages = &messages;
        job.progressDialog = &progress;
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
        job.saveInfo.direction = EnglishToItalian;
        job.saveInfo.usesTribunalMaster = job.saveInfo.usesBloodmoonMaster = true;
        installation.hasTribunalPlugin = installation.hasBloodmoonPlugin = true;
    }

    bool scan() {
        messages = RecordingMessageBoxes();
        progress = RecordingProgress();
        state = std::make_unique<JobState>(job);
        buildHandlerMap(scanHandlerTable(), state->scanHandlerMap);
        return scanMastersAndPlugins(*state);
    }

    TranslationMaps& maps() const { return state->maps; }

    GameFolder game;
    GameInstallation installation;
    RecordingMessageBoxes messages;
    RecordingProgress progress;
    PatchJob job;
    std::unique_ptr<JobState> state;
};

// The data of a subrecord as text, every byte kept.
inline std::string bytesOf(const Subrecord* subrecord) {
    return subrecord ? std::string(subrecord->data.begin(), subrecord->data.end()) : "<none>";
}

// A kept entry in one line: "TAG=data" of each subrecord, then of the translation, every byte kept and a NUL
// shown as "~".
inline std::string describe(const TranslatedRecord& entry) {
    std::string out;
    for (const auto& subrecord : entry.subrecords())
        out += std::string(subrecord->tag.str()) + "=" + bytesOf(subrecord.get()) + " ";
    if (entry.translation())
        out += std::string(entry.translation()->tag.str()) + "=" + bytesOf(entry.translation());
    std::replace(out.begin(), out.end(), '\0', '~');
    return out;
}

} // namespace orvella::test
