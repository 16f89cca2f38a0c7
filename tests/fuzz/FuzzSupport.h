#pragma once

// What the fuzz targets share: a way to stop on a broken property, a user interface that only counts, and
// the small game's translation data built once per direction.

#include "MemoryFileSystem.h"
#include "SmallGame.h"
#include "job/JobState.h"
#include "job/ProgressControls.h"
#include "scan/MasterScan.h"
#include "translate/JournalFixes.h"
#include "translate/NameMaps.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace orvella::fuzz {

// A broken property is a finding: libFuzzer keeps the input that caused it.
inline void require(bool condition, const char* property) {
    if (condition)
        return;
    std::fprintf(stderr, "broken property: %s\n", property);
    std::abort();
}

// The record's size is the sum of its subrecords, as every edit must keep it.
inline bool sizeAddsUp(const Record& record) {
    std::uint64_t sum = 0;
    for (const auto& subrecord : record.subrecords())
        sum += 8 + subrecord->size();
    return sum == record.size();
}

// Message boxes and progress controls that keep only what the properties look at.
class CountingMessages final : public MessageBoxes {
public:
    MessageAnswer show(const Message&) override {
        ++shown;
        return MessageAnswer::Ok;
    }
    int shown = 0;
};

class WatchingProgress final : public ProgressView {
public:
    void setBarPosition(int, int percent) override {
        require(percent >= 0 && percent <= 100, "a bar off its range");
    }
    void setImage(int controlId, StatusImage image) override {
        if (image == StatusImage::Failure)
            ++failureImages;
    }
    void setText(int, const std::string& text) override { outcome = text; }
    void showButton(int) override {}
    void enableButton(int controlId) override { okEnabled = okEnabled || controlId == OkButton; }
    int failureImages = 0;
    std::string outcome;
    bool okEnabled = false;
};

// A log that goes nowhere.
class NullFile final : public File {
public:
    std::size_t read(void*, std::size_t) override { return 0; }
    std::size_t write(const void*, std::size_t size) override { return size; }
    bool seek(std::int64_t, SeekOrigin) override { return true; }
    std::int64_t tell() override { return 0; }
    bool flush() override { return true; }
    bool close() override { return true; }
};

// A job's state with the small game's translation data, as a conversion has it when its handlers run.
struct PreparedJob {
    explicit PreparedJob(ConversionDirection direction) {
        test::smallgame::install(files, installation);
        job = test::smallgame::jobFor(installation, files, messages, progress, "Fuzz.ess", direction);
        state = std::make_unique<JobState>(job);
        state->log.attach(std::make_unique<NullFile>());
        loadTopicTables(*state);
        buildHandlerMap(saveHandlerTable(), state->saveHandlerMap);
        buildHandlerMap(scanHandlerTable(), state->scanHandlerMap);
        require(scanMastersAndPlugins(*state), "the small game does not scan");
        buildQuestNameMap(*state);
        addJournalFixes(*state);
        require(buildMonthNameMap(*state), "the small game has no months");
    }

    test::MemoryFileSystem files;
    GameInstallation installation;
    CountingMessages messages;
    WatchingProgress progress;
    PatchJob job;
    std::unique_ptr<JobState> state;
};

inline JobState& preparedState(ConversionDirection direction) {
    static PreparedJob toItalian(EnglishToItalian);
    static PreparedJob toEnglish(ItalianToEnglish);
    return *(direction == EnglishToItalian ? toItalian : toEnglish).state;
}

} // namespace orvella::fuzz
