#pragma once

#include "RecordingUi.h"
#include "TestFolder.h"
#include "gamebuilder/GameBuilder.h"
#include "job/PatchJob.h"
#include "translate/BuiltInTables.h"

#include <string>

namespace orvella::test {

// Runs conversions of saves in a game folder, recording what the worker shows.
struct JobHarness {
    explicit JobHarness(const GameFolder& folder) { installation.installPath = folder.path(); }

    // The smallest master and translation plugin a conversion accepts: the twelve month settings.
    void writeMinimalGame(const GameFolder& folder) {
        static const char* const Months[] = {"sMonthMorningstar", "sMonthSunsdawn",   "sMonthFirstseed",
                                             "sMonthRainshand",   "sMonthSecondseed", "sMonthMidyear",
                                             "sMonthSunsheight",  "sMonthLastseed",   "sMonthHeartfire",
                                             "sMonthFrostfall",   "sMonthSunsdusk",   "sMonthEveningstar"};
        build::GameFileBuilder master(build::FileHeader{.kind = build::FileKind::Master});
        build::GameFileBuilder plugin(build::FileHeader{.kind = build::FileKind::Plugin});
        for (const char* id : Months) {
            master.add(build::RecordBuilder("GMST").sub("NAME", id).sub("STRV", id + 6));
            plugin.add(
                build::RecordBuilder("GMST").sub("NAME", id).sub("STRV", std::string("Mese ") + (id + 6)));
        }
        master.writeTo(folder.data(MorrowindMasterName));
        std::string pluginBytes = plugin.bytes();
        build::writeBytes(folder.data(MorrowindPluginName), pluginBytes);
        installation.hasMorrowindMaster = installation.hasMorrowindPlugin = true;
        installation.morrowindPluginSize = static_cast<std::uint32_t>(pluginBytes.size());
    }

    PatchResult run(const std::string& saveFileName, ConversionDirection direction = EnglishToItalian) {
        messages = RecordingMessageBoxes();
        progress = RecordingProgress();
        PatchJob job;
        job.installation = &installation;
        job.files = files ? files : &nativeFileSystem();
        job.tables = tables;
        job.messages = &messages;
        job.progressDialog = &progress;
        job.request.saveFileName = saveFileName;
        job.request.saveInfo = saveInfo;
        job.request.saveInfo.direction = direction;
        job.request.classifyAgain = classifyAgain;
        job.saveInfo = job.request.saveInfo;
        return runPatchJob(job);
    }

    GameInstallation installation;
    FileSystem* files = nullptr;
    const TopicTables* tables = nullptr;
    SaveInfo saveInfo;
    SaveClassifier classifyAgain = nullptr;
    RecordingMessageBoxes messages;
    RecordingProgress progress;
};

} // namespace orvella::test
