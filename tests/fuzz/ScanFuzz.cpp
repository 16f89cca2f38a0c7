// Scans arbitrary bytes as the master, with the small game's plugin, converting to Italian, and as the
// plugin, with the small game's master, converting to English, through the whole preparation of a job's
// translation data and its release. A scan either fails with its bar's failure image and one message, or
// fills the maps with records whose sizes add up; the month settings are looked up, the quests listed and
// everything released without a leak.

#include "FuzzSupport.h"

#include <cstdint>
#include <string>

namespace orvella::fuzz {
namespace {

void requireConsistent(const TranslationMap& map) {
    for (const auto& [id, record] : map) {
        require(record != nullptr, "an empty map entry");
        require(sizeAddsUp(*record), "a kept record whose size does not add up");
    }
}

void scan(const std::string& input, bool asMaster, ConversionDirection direction) {
    test::MemoryFileSystem files;
    GameInstallation installation;
    test::smallgame::install(files, installation);
    const std::string dataFiles = std::string(test::smallgame::InstallPath) + DataFilesFolder;
    files.writeFile(dataFiles + (asMaster ? MorrowindMasterName : MorrowindPluginName), input);
    CountingMessages messages;
    WatchingProgress progress;
    PatchJob job = test::smallgame::jobFor(installation, files, messages, progress, "Fuzz.ess", direction);
    JobState state(job);
    state.log.attach(std::make_unique<NullFile>());
    loadTopicTables(state);
    buildHandlerMap(scanHandlerTable(), state.scanHandlerMap);

    if (!scanMastersAndPlugins(state)) {
        require(progress.failureImages == 1 && messages.shown == 1,
                "a failed scan not told by its image and a message");
    } else {
        require(progress.failureImages == 0 && messages.shown == 0,
                "a scan that succeeded and told of a failure");
        for (const TranslationMap* map :
             {&state.maps.gmstMap, &state.maps.npcNameMap, &state.maps.itemNameMap,
              &state.maps.journalTopicMap, &state.maps.journalEntryMap})
            requireConsistent(*map);
        buildQuestNameMap(state);
        addJournalFixes(state);
        buildMonthNameMap(state);
    }
    require(files.openHandles() == 0, "a data file left open");
    releaseJobData(state);
    require(state.maps.recordCount() == 0 && state.recordList.empty() && state.names.questNameMap.empty(),
            "job data left after the release");
}

} // namespace
} // namespace orvella::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    orvella::fuzz::scan(input, true, orvella::EnglishToItalian);
    orvella::fuzz::scan(input, false, orvella::ItalianToEnglish);
    return 0;
}
