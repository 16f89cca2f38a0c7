// Scans arbitrary bytes as the master (to Italian) and as the plugin (to English) of the demo game, through
// the whole preparation of a job's translation data: a scan fails with a message before its pass completes,
// or completes both passes and pairs each topic once at most; no file is left open.

#include "FuzzSupport.h"

#include <cstdint>
#include <set>
#include <string>

namespace orvella::fuzz {
namespace {

void scan(const std::string& input, bool asMaster, ConversionDirection direction) {
    test::FaultInjectingFileSystem files;
    const GameInstallation installation = test::installDemoGame(files);
    files.writeFile(installation.installPath + DataFilesFolder +
                        (asMaster ? MorrowindMasterName : MorrowindPluginName),
                    input);
    const IncludedGames included = includedGames(test::saveInfoFor(direction), installation);
    TranslationMaps maps;
    DialogueTopics topics;
    DerivedTopicRows derived;
    NameMaps names;
    PassCounter progress;
    ScanError error;
    if (!scanMastersAndPlugins(files, installation, included, maps, progress, error, &topics)) {
        require(!error.message.empty() && progress.completed[error.pass == MasterPass ? 0 : 1] == 0,
                "a failed scan without its message, or with its pass complete");
    } else {
        require(progress.completed[0] == 1 && progress.completed[1] == 1 && error.message.empty(),
                "a scan that succeeded without completing each pass once");
        // Each topic of either side stands in one pair at most.
        const TopicPairing pairing = pairTopics(topics);
        std::set<std::size_t> english, italian;
        for (const TopicPair& pair : pairing.pairs)
            require(english.insert(pair.english).second && italian.insert(pair.italian).second,
                    "a topic paired twice");
        derived = derivedTopicRows(topics, pairing, builtInTables());
        loadTopicTables(builtInTables(), derived, direction, included, names);
        buildQuestNameMap(maps, direction, names);
        addJournalFixes(builtInTables().journalFixes, maps);
        buildMonthNameMap(maps, direction, names);
    }
    require(files.openHandles() == 0, "a data file left open");
}

} // namespace
} // namespace orvella::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    orvella::fuzz::scan(input, true, orvella::EnglishToItalian);
    orvella::fuzz::scan(input, false, orvella::ItalianToEnglish);
    return 0;
}
