#pragma once

// What the fuzz targets share: a way to stop on a broken property, and the demo game's translation data built
// once per direction.

#include "DemoJob.h"
#include "RecordViews.h"
#include "scan/MasterScan.h"
#include "translate/ConversionContext.h"
#include "translate/JournalFixes.h"
#include "translate/NameMaps.h"

#include <cstdio>
#include <cstdlib>

namespace orvella::fuzz {

// A broken property is a finding: libFuzzer keeps the input that caused it.
inline void require(bool condition, const char* property) {
    if (!condition) {
        std::fprintf(stderr, "broken property: %s\n", property);
        std::abort();
    }
}

inline bool sizeAddsUp(const Record& record) {
    return test::payloadSize(record) == record.size();
}

// Counts the passes a scan completes.
struct PassCounter final : ScanProgress {
    void scanned(ScanPass, std::uint32_t, std::uint32_t) override {}
    void passCompleted(ScanPass pass) override { ++completed[pass == MasterPass ? 0 : 1]; }
    int completed[2] = {0, 0};
};

struct NullLog final : ConversionLog {
    void write(std::string_view) override {}
};

// The demo game's translation data built as a job builds it, and a context over it, as a conversion has
// them when its handlers run.
struct PreparedConversion {
    explicit PreparedConversion(ConversionDirection direction) {
        const GameInstallation installation = test::installDemoGame(files);
        const SaveInfo save = test::saveInfoFor(direction);
        const IncludedGames included = includedGames(save, installation);
        PassCounter progress;
        ScanError error;
        DialogueTopics topics;
        require(scanMastersAndPlugins(files, installation, included, maps, progress, error, &topics),
                "the demo game does not scan");
        derived = derivedTopicRows(topics, pairTopics(topics), builtInTables());
        loadTopicTables(builtInTables(), derived, direction, included, names);
        buildQuestNameMap(maps, direction, names);
        addJournalFixes(builtInTables().journalFixes, maps);
        require(buildMonthNameMap(maps, direction, names), "the demo game has no months");
        context.direction = direction;
        context.pluginEntries = translationPlugins(save, installation);
    }

    test::FaultInjectingFileSystem files;
    TranslationMaps maps;
    DerivedTopicRows derived;
    NameMaps names;
    NullLog log;
    ConversionContext context{EnglishToItalian, maps, names, {}, log, {}};
};

inline ConversionContext& preparedContext(ConversionDirection direction) {
    static PreparedConversion toItalian(EnglishToItalian);
    static PreparedConversion toEnglish(ItalianToEnglish);
    return (direction == EnglishToItalian ? toItalian : toEnglish).context;
}

} // namespace orvella::fuzz
