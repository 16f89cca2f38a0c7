// orvella-bench: converts a full-size synthetic save both ways against a full-size synthetic game and reports
// where the time and the memory go, against the least I/O that each conversion has to do.
//
//   orvella-bench [DATA-FOLDER]
//
// The game is generated into DATA-FOLDER (bench-data in the build folder by default) on the first run
// and reused afterwards. An OpenMW save of the same game is converted both ways too, and its ratio printed
// as "openmw ratio conversion/io-floor: R" just before the last line, which is
// "ratio conversion/io-floor: R; journal speed-up vs literal: S", both for the original engine's save.

#include "BenchGame.h"
#include "BenchMeasure.h"
#include "HeapCounter.h"
#include "IoFloor.h"
#include "literaljournal/LiteralJournal.h"

#include "app/SaveClassification.h"
#include "game/GameFileNames.h"
#include "game/SavePaths.h"
#include "gamebuilder/GameBuilder.h"
#include "gamebuilder/OpenMwSaveBuilder.h"
#include "job/PatchJob.h"
#include "platform/MemoryFile.h"
#include "platform/ProcessMemory.h"
#include "records/RecordStream.h"
#include "scan/MasterScan.h"
#include "scan/TopicPairing.h"
#include "translate/ConversionContext.h"
#include "translate/DerivedTopics.h"
#include "translate/JournalFixes.h"
#include "translate/NameMaps.h"
#include "translate/SaveHandlers.h"
#include "translate/TableFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace orvella::bench {

namespace {

// Large enough that the reads are few, small enough to stay in the processor's cache.
constexpr std::size_t FloorBufferBytes = 1 << 20;
// Rounds of the save to Italian and back, each conversion in a process of its own.
constexpr int ConversionRounds = 5;
constexpr const char* FloorSaveName = "Floor0001.ess";
constexpr const char* OpenMwFloorSaveName = "Nerevar/Floor.omwsave";
// How the benchmark starts itself to convert once: followed by the data folder, the pipe to write to and the
// engine whose save it converts.
constexpr const char* ChildOption = "--convert-child";
constexpr const char* EssChild = "ess";
constexpr const char* OpenMwChild = "openmw";

class SilentMessages final : public MessageBoxes {
public:
    MessageAnswer show(const Message& message) override {
        std::fprintf(stderr, "orvella-bench: message: %s\n", message.text.c_str());
        return MessageAnswer::Ok;
    }
};

class NullLog final : public ConversionLog {
public:
    void write(std::string_view) override {}
};

double megabytes(std::uint64_t bytes) {
    return static_cast<double>(bytes) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timeMilliseconds(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return millisecondsBetween(start, Clock::now());
}

std::vector<std::string> inputFiles(const BenchFolder& folder) {
    std::vector<std::string> files;
    for (Game game : AllGames)
        files.push_back(folder.dataFile(masterFileName(game)));
    for (Game game : AllGames)
        files.push_back(folder.dataFile(pluginFileName(game)));
    files.push_back(folder.englishSave());
    return files;
}

// The game as the original engine or OpenMW installs it: OpenMW reads the same files from the game's Data
// Files as its one data folder, and its saves from a user data folder of its own.
GameInstallation benchInstallation(const BenchFolder& folder, SaveKind kind = SaveKind::Ess) {
    GameInstallation installation;
    installation.installPath = folder.game();
    installation.gameVersion = {1, 6, 0, 1820};
    for (Game game : AllGames)
        installation.installed(game) = {
            true, true, static_cast<std::uint32_t>(fileSize(folder.dataFile(pluginFileName(game)))),
            pluginFileName(game)};
    if (kind == SaveKind::OpenMw) {
        installation.installPath.clear();
        installation.saveKind = SaveKind::OpenMw;
        installation.userDataFolder = folder.openMwUserData();
        installation.dataFiles = DataFiles::inFolders(nativeFileSystem(), {folder.game() + "/Data Files"});
    }
    return installation;
}

// The save that a conversion of the engine converts, where it lies, and the English one every round starts
// from.
struct BenchSave {
    std::string name;
    std::string path;
    std::string english;
};

BenchSave benchSave(const BenchFolder& folder, SaveKind kind) {
    if (kind == SaveKind::OpenMw)
        return {BenchOpenMwSaveName, folder.openMwSave(), folder.englishOpenMwSave()};
    return {BenchSaveName, folder.save(), folder.englishSave()};
}

struct Stage {
    const char* name;
    double milliseconds;
};

// The stages as the progress dialog shows them; the topic pairs and the name maps are made between the
// plugins' image and the save's reading.
const char* const StageNames[7] = {"Analisi dei Master File",
                                   "Analisi dei Plugin Tradotti",
                                   "pairs, maps, Lettura del Salvataggio",
                                   "Elaborazione del Salvataggio",
                                   "  of which Elaborazione del Journal",
                                   "backup and replacement",
                                   "Finalizzazione"};

struct ConversionFigures {
    bool succeeded = false;
    std::string outcome;
    std::vector<Stage> stages;
    double total = 0;
    std::uint64_t bytesRead = 0;
    std::vector<FileReads> reads;
    std::uint64_t saveBytes = 0;    // the save as it was, which the backup holds
    std::uint64_t newSaveBytes = 0; // the save as the conversion wrote it
    std::uint64_t baselineMemory = 0;
    std::uint64_t peakMemory = 0;
    bool peakIsOwn = false;     // the peak belongs to this conversion alone
    std::uint64_t peakHeap = 0; // the most heap the conversion held at once, beyond what was held before it
    std::size_t stretches = 0;  // read, in all files
    std::size_t opens = 0;      // of files read
};

std::vector<Stage> stagesOf(const StageClock& clock, Clock::time_point ended) {
    auto at = [&](std::optional<Clock::time_point> moment) { return moment.value_or(ended); };
    const auto masters = at(clock.imageSet(JobStage::Masters));
    const auto plugins = at(clock.imageSet(JobStage::Plugins));
    const auto read = at(clock.imageSet(JobStage::Reading));
    const auto converted = at(clock.imageSet(JobStage::Converting));
    const auto journalStart = at(clock.firstBarMove(JobStage::Journal));
    const auto journalEnd = at(clock.imageSet(JobStage::Journal));
    const auto finalStart = at(clock.firstBarMove(JobStage::Finalising));
    const auto finalEnd = at(clock.imageSet(JobStage::Finalising));
    return {
        {StageNames[0], millisecondsBetween(clock.started(), masters)},
        {StageNames[1], millisecondsBetween(masters, plugins)},
        {StageNames[2], millisecondsBetween(plugins, read)},
        {StageNames[3], millisecondsBetween(read, converted)},
        {StageNames[4], millisecondsBetween(journalStart, journalEnd)},
        {StageNames[5], millisecondsBetween(converted, finalStart)},
        {StageNames[6], millisecondsBetween(finalStart, finalEnd)},
    };
}

ConversionFigures convert(const BenchSave& save, const GameInstallation& installation,
                          const TopicTables& tables) {
    ConversionFigures figures;
    figures.saveBytes = fileSize(save.path);
    CountingFileSystem files(nativeFileSystem());
    auto saveInfo = classifySave(files, installation, save.name);
    if (!saveInfo) {
        figures.outcome = "the save cannot be classified";
        return figures;
    }
    SilentMessages messages;
    StageClock clock;
    PatchJob job;
    job.installation = &installation;
    job.files = &files;
    job.messages = &messages;
    job.progressDialog = &clock;
    job.tables = &tables;
    job.request.saveFileName = save.name;
    job.request.saveInfo = *saveInfo;

    files.resetCount();
    figures.baselineMemory = residentMemory().value_or(0);
    figures.peakIsOwn = resetPeakMemory();
    const std::uint64_t heapBefore = heapInUse();
    resetHeapPeak();
    clock.start();
    PatchResult result = runPatchJob(job);
    const auto ended = Clock::now();
    figures.peakMemory = peakMemory().value_or(0);
    figures.peakHeap = heapPeak() - heapBefore;
    figures.total = millisecondsBetween(clock.started(), ended);
    figures.stages = stagesOf(clock, ended);
    figures.bytesRead = files.bytesRead();
    figures.reads = files.reads();
    for (const FileReads& file : figures.reads) {
        figures.stretches += file.ranges.size();
        figures.opens += file.ranges.empty() ? 0 : 1;
    }
    figures.newSaveBytes = fileSize(save.path);
    figures.succeeded = result.exitCode == 0;
    figures.outcome = result.outcomeText;
    return figures;
}

// The save's journal record, or nothing.
std::unique_ptr<Record> journalRecord(const std::string& path) {
    MemoryFile file(build::readBytes(path));
    RecordStream stream(file, path);
    std::int32_t count = 0;
    if (!stream.readRecordCount(count))
        return nullptr;
    for (std::int32_t i = 0; i <= count; ++i) {
        auto record = stream.readRecord();
        if (!record)
            return nullptr;
        if (record->tag().is("JOUR"))
            return record;
    }
    return nullptr;
}

struct JournalFigures {
    bool built = false;
    double fast = 0;
    double literal = 0;
    bool identical = false;
    std::size_t paragraphs = 0;
    std::size_t untranslated = 0;
    std::size_t entries = 0;
    std::size_t topicLinks = 0;
    std::size_t mapRecords = 0;
    std::uint64_t mapMemory = 0;
};

// Builds the translation data of an English-to-Italian conversion, with the topic pairs derived from the
// game's files, and times the journal handler against the literal algorithm on the save's journal, the same
// maps for both.
JournalFigures measureJournal(const BenchFolder& folder, const GameInstallation& installation,
                              const TopicTables& tables) {
    JournalFigures figures;
    SaveInfo save;
    for (Game game : AllGames)
        save.used(game).master = true;
    save.direction = EnglishToItalian;

    const std::uint64_t before = heapInUse();
    auto maps = std::make_unique<TranslationMaps>();
    auto topics = std::make_unique<DialogueTopics>();
    auto names = std::make_unique<NameMaps>();
    const IncludedGames included = includedGames(save, installation);
    SilentScanProgress scanProgress;
    ScanError scanError;
    if (!scanMastersAndPlugins(nativeFileSystem(), installation, included, *maps, scanProgress, scanError,
                               topics.get()))
        return figures;
    const DerivedTopicRows derived = derivedTopicRows(*topics, pairTopics(*topics), tables);
    topics.reset();
    loadTopicTables(tables, derived, save.direction, included, *names);
    buildQuestNameMap(*maps, save.direction, *names);
    addJournalFixes(tables.journalFixes, *maps);
    if (!buildMonthNameMap(*maps, save.direction, *names))
        return figures;
    const std::uint64_t after = heapInUse();
    figures.mapMemory = after > before ? after - before : 0;
    figures.mapRecords = maps->recordCount();
    figures.entries = (*maps)[MapKind::JournalEntry].size();
    figures.topicLinks = names->italianTopicLinks.size();
    NullLog log;
    ConversionContext context{save.direction, *maps, *names, translationPlugins(save, installation), log, {}};

    std::unique_ptr<Record> source = journalRecord(folder.englishSave());
    if (!source || !source->findSubrecord("NAME"))
        return figures;
    const SubrecordBytes journal = source->findSubrecord("NAME")->data;
    const std::string_view text(reinterpret_cast<const char*>(journal.data()), journal.size());

    std::string fastText;
    std::vector<double> fastTimes;
    for (int run = 0; run < 5; ++run) {
        auto record = std::make_unique<Record>("JOUR");
        record->appendSubrecord(
            Subrecord("NAME", journal.data(), static_cast<std::uint32_t>(journal.size())));
        fastTimes.push_back(timeMilliseconds([&] { patchJournal(*record, context); }));
        fastText = std::string(record->findSubrecord("NAME")->text());
    }
    figures.fast = median(fastTimes);
    figures.untranslated = log.untranslatedJournalCount();

    literal::JournalOutput literalOutput;
    figures.literal = timeMilliseconds([&] {
        literalOutput =
            literal::translateJournal(text, (*maps)[MapKind::JournalEntry], EnglishToItalian, *names);
    });
    figures.identical = literalOutput.text == fastText && literalOutput.untranslated == figures.untranslated;
    for (std::size_t at = text.find("<P>"); at != std::string_view::npos; at = text.find("<P>", at + 1))
        ++figures.paragraphs;
    figures.built = true;
    return figures;
}

// The English save converted to Italian five times with the topic pairs derived from the game's files and
// five times with the table files instead, in turn: the median time of the first against the second's, or
// -1 when a conversion failed.
double derivedVersusTableFiles(const BenchFolder& folder, const GameInstallation& installation,
                               const TopicTables& tableFiles) {
    std::vector<double> derived, files;
    for (int run = 0; run < 5; ++run)
        for (auto [tables, times] : {std::pair(&builtInTables(), &derived), std::pair(&tableFiles, &files)}) {
            std::filesystem::copy_file(folder.englishSave(), folder.save(),
                                       std::filesystem::copy_options::overwrite_existing);
            const ConversionFigures figures =
                convert(benchSave(folder, SaveKind::Ess), installation, *tables);
            if (!figures.succeeded)
                return -1;
            times->push_back(figures.total);
        }
    return median(derived) / median(files);
}

struct FloorFigures {
    bool measured = false;
    double reading = 0;
    double writing = 0;
    double total() const { return reading + writing; }
};

// Where the floor reads and writes: the conversion's save and backup, and files of the floor's own beside
// them.
struct FloorPaths {
    std::string save;
    std::string backup;
    std::string floorSave;
    std::string floorBackup;
};

FloorPaths floorPaths(const GameInstallation& installation) {
    const bool ess = installation.saveKind == SaveKind::Ess;
    const SavePaths save(installation, ess ? BenchSaveName : BenchOpenMwSaveName);
    const SavePaths floor(installation, ess ? FloorSaveName : OpenMwFloorSaveName);
    return {nativePath(save.save), nativePath(save.backup), nativePath(floor.save), nativePath(floor.backup)};
}

// The floor of a conversion just made, the median of five runs by their total, after a run that leaves the
// floor's own save and backup in place to be replaced as the conversion's are. The conversion has replaced
// the save it read, so the save's stretches are read from the backup it has just written, the same bytes.
FloorFigures measureFloor(IoFloor& floor, const ConversionFigures& conversion, const FloorPaths& paths) {
    FloorFigures figures;
    if (fileSize(paths.backup) != conversion.saveBytes)
        return figures;
    std::vector<FileReads> reads = conversion.reads;
    for (FileReads& file : reads)
        if (nativePath(file.path) == paths.save)
            file.path = paths.backup;
    auto once = [&](FloorFigures& run) {
        bool done = true;
        run.reading = timeMilliseconds([&] { done = floor.readAgain(reads); });
        run.writing = timeMilliseconds([&] {
            done = done && floor.replaceWith(paths.floorBackup, conversion.saveBytes) &&
                   floor.replaceWith(paths.floorSave, conversion.newSaveBytes);
        });
        return done;
    };
    FloorFigures warmUp;
    if (!once(warmUp))
        return figures;
    std::vector<FloorFigures> runs(5);
    for (FloorFigures& run : runs)
        if (!once(run))
            return figures;
    std::sort(runs.begin(), runs.end(),
              [](const FloorFigures& a, const FloorFigures& b) { return a.total() < b.total(); });
    figures = runs[runs.size() / 2];
    figures.measured = true;
    return figures;
}

void printConversion(const char* title, const ConversionFigures& figures, const FloorFigures& floor) {
    std::printf("\n%s: %s\n", title, figures.outcome.c_str());
    for (const Stage& stage : figures.stages)
        std::printf("  %-44s %9.1f ms\n", stage.name, stage.milliseconds);
    std::printf("  %-44s %9.1f ms  (%.2f x its I/O floor)\n", "total", figures.total,
                figures.total / floor.total());
    std::printf("  %-44s %9.1f ms  (median of 5)\n", "I/O floor", floor.total());
    std::printf("    %-42s %9.1f ms  (%zu stretches, %zu opens)\n", "the same bytes read again",
                floor.reading, figures.stretches, figures.opens);
    char written[64];
    std::snprintf(written, sizeof written, "%.1f + %.1f MB written, synced, moved",
                  megabytes(figures.saveBytes), megabytes(figures.newSaveBytes));
    std::printf("    %-42s %9.1f ms\n", written, floor.writing);
    std::printf("  %-44s %9.1f MB\n", "bytes read", megabytes(figures.bytesRead));
    std::printf("  %-44s %9.1f MB\n", "peak heap held by the conversion", megabytes(figures.peakHeap));
    std::printf("  %-44s %9.1f MB  (%s; resident before: %.1f MB)\n", "peak resident memory",
                megabytes(figures.peakMemory), figures.peakIsOwn ? "this conversion" : "whole process",
                megabytes(figures.baselineMemory));
}

// What a child process sends back of its conversion and floor; the stages and the outcome by value.
struct ChildFigures {
    bool succeeded = false;
    char outcome[128] = {};
    double stages[std::size(StageNames)] = {};
    double total = 0;
    std::uint64_t bytesRead = 0, saveBytes = 0, newSaveBytes = 0, baselineMemory = 0, peakMemory = 0;
    bool peakIsOwn = false;
    std::uint64_t peakHeap = 0;
    std::size_t stretches = 0, opens = 0;
    FloorFigures floor;
};

// Converts the save as it stands and measures the conversion's floor, in the process that runs it, and sends
// the figures down the channel; the body of a conversion child.
bool convertAndSend(const BenchFolder& folder, SaveKind kind, int channel) {
    const GameInstallation installation = benchInstallation(folder, kind);
    IoFloor ioFloor(FloorBufferBytes);
    const ConversionFigures converted = convert(benchSave(folder, kind), installation, builtInTables());
    ChildFigures sent;
    sent.succeeded = converted.succeeded;
    std::snprintf(sent.outcome, sizeof sent.outcome, "%s", converted.outcome.c_str());
    for (std::size_t i = 0; i < converted.stages.size() && i < std::size(sent.stages); ++i)
        sent.stages[i] = converted.stages[i].milliseconds;
    sent.total = converted.total;
    sent.bytesRead = converted.bytesRead;
    sent.saveBytes = converted.saveBytes;
    sent.newSaveBytes = converted.newSaveBytes;
    sent.baselineMemory = converted.baselineMemory;
    sent.peakMemory = converted.peakMemory;
    sent.peakIsOwn = converted.peakIsOwn;
    sent.peakHeap = converted.peakHeap;
    sent.stretches = converted.stretches;
    sent.opens = converted.opens;
    if (converted.succeeded)
        sent.floor = measureFloor(ioFloor, converted, floorPaths(installation));
    return write(channel, &sent, sizeof sent) == static_cast<ssize_t>(sizeof sent);
}

// Converts the save as it stands in a process of its own, started afresh from this program's file, so that
// the conversion is the process's first on memory never used before, as a player runs it (console and dialog
// program alike convert once per process); a forked child would inherit this process's heap, and pay for
// copying its pages instead. The figures come back through a pipe.
void convertInChild(const BenchFolder& folder, SaveKind kind, ConversionFigures& figures,
                    FloorFigures& floor) {
    int channel[2];
    std::fflush(nullptr);
    if (pipe(channel) != 0)
        return;
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const std::string fd = std::to_string(channel[1]);
        execl("/proc/self/exe", "orvella-bench", ChildOption, folder.root.c_str(), fd.c_str(),
              kind == SaveKind::OpenMw ? OpenMwChild : EssChild, nullptr);
        _exit(1);
    }
    close(channel[1]);
    ChildFigures received;
    const bool read = child > 0 && ::read(channel[0], &received, sizeof received) == sizeof received;
    close(channel[0]);
    int status = 0;
    if (child > 0)
        waitpid(child, &status, 0);
    if (!read)
        return;
    figures.succeeded = received.succeeded;
    figures.outcome = received.outcome;
    for (std::size_t i = 0; i < std::size(StageNames); ++i)
        figures.stages.push_back({StageNames[i], received.stages[i]});
    figures.total = received.total;
    figures.bytesRead = received.bytesRead;
    figures.saveBytes = received.saveBytes;
    figures.newSaveBytes = received.newSaveBytes;
    figures.baselineMemory = received.baselineMemory;
    figures.peakMemory = received.peakMemory;
    figures.peakIsOwn = received.peakIsOwn;
    figures.peakHeap = received.peakHeap;
    figures.stretches = received.stretches;
    figures.opens = received.opens;
    floor = received.floor;
}

// Generates the game in a child process, so that the memory the generator used never counts against the
// conversions measured afterwards; true when it was generated now.
bool prepareInChild(const BenchFolder& folder) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        bool generated = false;
        std::string error;
        if (!prepareBenchGame(folder, generated, error)) {
            std::fprintf(stderr, "orvella-bench: %s\n", error.c_str());
            _exit(1);
        }
        _exit(generated ? 0 : 3);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// One engine's save converted to Italian and back in each round, every conversion in a fresh process of its
// own: the first round's figures, each direction's ratios, the save's size and the most heap a conversion
// held.
struct Rounds {
    ConversionFigures toItalian, toEnglish;
    FloorFigures toItalianFloor, toEnglishFloor;
    std::vector<double> toItalianRatios, toEnglishRatios;
    std::uint64_t saveSize = 0, peak = 0;
};

bool runRounds(const BenchFolder& folder, SaveKind kind, Rounds& rounds) {
    const BenchSave save = benchSave(folder, kind);
    const FloorPaths paths = floorPaths(benchInstallation(folder, kind));
    for (int round = 0; round < ConversionRounds; ++round) {
        std::filesystem::copy_file(save.english, save.path,
                                   std::filesystem::copy_options::overwrite_existing);
        rounds.saveSize = fileSize(save.path);
        ConversionFigures italian, english;
        FloorFigures italianFloor, englishFloor;
        convertInChild(folder, kind, italian, italianFloor);
        convertInChild(folder, kind, english, englishFloor);
        if (!italian.succeeded || !english.succeeded) {
            std::fprintf(stderr, "orvella-bench: a conversion failed\n");
            return false;
        }
        if (!italianFloor.measured || !englishFloor.measured) {
            std::fprintf(stderr, "orvella-bench: the I/O floor could not be measured\n");
            return false;
        }
        rounds.toItalianRatios.push_back(italian.total / italianFloor.total());
        rounds.toEnglishRatios.push_back(english.total / englishFloor.total());
        rounds.peak = std::max({rounds.peak, italian.peakHeap, english.peakHeap});
        if (round == 0) {
            rounds.toItalian = std::move(italian);
            rounds.toEnglish = std::move(english);
            rounds.toItalianFloor = italianFloor;
            rounds.toEnglishFloor = englishFloor;
        }
    }
    std::filesystem::remove(paths.floorSave);
    std::filesystem::remove(paths.floorBackup);
    return true;
}

// Prints both directions' medians with their least and most, after the label when there is one, and gives
// the larger median.
double printMedians(const Rounds& rounds, const char* label = nullptr) {
    auto range = [](const std::vector<double>& ratios) {
        return std::pair(*std::min_element(ratios.begin(), ratios.end()),
                         *std::max_element(ratios.begin(), ratios.end()));
    };
    const double toItalian = median(rounds.toItalianRatios);
    const double toEnglish = median(rounds.toEnglishRatios);
    std::printf("%s%sach the first conversion of a process, median of %d (least to most): English -> Italian "
                "%.2f (%.2f to %.2f),\nItalian -> English %.2f (%.2f to %.2f) times its I/O floor\n",
                label ? label : "", label ? ": e" : "E", ConversionRounds, toItalian,
                range(rounds.toItalianRatios).first, range(rounds.toItalianRatios).second, toEnglish,
                range(rounds.toEnglishRatios).first, range(rounds.toEnglishRatios).second);
    return std::max(toItalian, toEnglish);
}

int run(const std::string& root) {
    BenchFolder folder{root};
    bool generated = false;
    const double generation = timeMilliseconds([&] { generated = prepareInChild(folder); });
    // The child has left a complete game, or this finds none and says so.
    std::string error;
    bool generatedHere = false;
    if (!prepareBenchGame(folder, generatedHere, error) || generatedHere) {
        std::fprintf(stderr, "orvella-bench: %s\n",
                     error.empty() ? "the game was not generated" : error.c_str());
        return 1;
    }
    std::printf("orvella-bench: game in %s (%s, %.1f s)\n", root.c_str(), generated ? "generated" : "cached",
                generation / 1000);
    std::uint64_t totalInput = 0;
    for (const std::string& path : inputFiles(folder)) {
        std::printf("  %-60s %9.2f MB\n", std::filesystem::path(path).filename().string().c_str(),
                    megabytes(fileSize(path)));
        totalInput += fileSize(path);
    }

    TableSet tables;
    TableFileError tableError;
    if (!tables.loadFolder(nativeFileSystem(), folder.tables(), tableError)) {
        std::fprintf(stderr, "orvella-bench: %s\n", tableError.message().c_str());
        return 1;
    }
    const GameInstallation installation = benchInstallation(folder);
    std::printf("  %-60s %9.2f MB\n", "english.omwsave (OpenMW)",
                megabytes(fileSize(folder.englishOpenMwSave())));

    // The inputs are read once before any timing, so that every measurement finds them in the same cache.
    for (const std::string& path : inputFiles(folder)) {
        std::vector<std::uint8_t> content;
        readWholeFile(nativeFileSystem(), path, content);
    }
    {
        std::vector<std::uint8_t> content;
        readWholeFile(nativeFileSystem(), folder.englishOpenMwSave(), content);
    }

    Rounds ess;
    if (!runRounds(folder, SaveKind::Ess, ess))
        return 1;
    std::printf("\nI/O floor of a conversion: what it read, read again with pread into one %zu KB buffer "
                "(the same\nfiles and stretches, in the page cache as the conversion found them), then "
                "the backup (the save's\nsize) and the new save (its size) each written, fsynced, renamed "
                "into place and its folder fsynced.\nNot in it: parsing, translating, building the new "
                "save, the log, the lock, the attributes, freeing\nmemory, and reading from the disk "
                "itself.\n",
                FloorBufferBytes / 1024);
    std::printf("\nThe first of %d rounds:\n", ConversionRounds);
    printConversion("English -> Italian", ess.toItalian, ess.toItalianFloor);
    printConversion("Italian -> English", ess.toEnglish, ess.toEnglishFloor);

    const double derivedCost = derivedVersusTableFiles(folder, installation, tables.tables());
    if (derivedCost < 0) {
        std::fprintf(stderr, "orvella-bench: a conversion failed\n");
        return 1;
    }
    std::printf("\nEnglish -> Italian with the topic pairs derived from the game's files, against the same "
                "conversion\nwith the full topic tables as files (median of 5 each)\n");
    std::printf("derived pairs vs table files: %.2f\n", derivedCost);

    const JournalFigures journal = measureJournal(folder, installation, builtInTables());
    if (!journal.built) {
        std::fprintf(stderr, "orvella-bench: the journal could not be measured\n");
        return 1;
    }
    std::printf(
        "\nJournal (English -> Italian): %zu paragraphs, %zu untranslated, %zu entries, %zu topic names\n",
        journal.paragraphs, journal.untranslated, journal.entries, journal.topicLinks);
    std::printf("  %-44s %9.1f ms (median of 5)\n", "journal handler", journal.fast);
    std::printf("  %-44s %9.1f ms\n", "literal algorithm", journal.literal);
    std::printf("  %-44s %9s\n", "same output", journal.identical ? "yes" : "NO");
    std::printf("\nTranslation data (maps, name maps, link lists): %zu records, %.1f MB allocated\n",
                journal.mapRecords, megabytes(journal.mapMemory));
    const std::uint64_t bound = 3 * ess.saveSize + journal.mapMemory;
    std::printf("Peak memory %.1f MB held by a conversion against 3 x save (%.1f MB) + maps = %.1f MB\n",
                megabytes(ess.peak), megabytes(ess.saveSize), megabytes(bound));
    std::printf("Inputs %.1f MB; read by the English -> Italian conversion: %.1f MB\n", megabytes(totalInput),
                megabytes(ess.toItalian.bytesRead));

    // The OpenMW save of the same game, converted the same way against its own floor.
    Rounds openMw;
    if (!runRounds(folder, SaveKind::OpenMw, openMw))
        return 1;
    std::printf("\nOpenMW save (%s, %.1f MB, format %u), the first of %d rounds:\n", BenchOpenMwSaveName,
                megabytes(openMw.saveSize), build::OpenMw049Format, ConversionRounds);
    printConversion("English -> Italian", openMw.toItalian, openMw.toItalianFloor);
    printConversion("Italian -> English", openMw.toEnglish, openMw.toEnglishFloor);
    std::printf("\n");
    const double openMwRatio = printMedians(openMw, "OpenMW");
    const double ratio = printMedians(ess);
    std::printf("openmw ratio conversion/io-floor: %.2f\n", openMwRatio);
    const double speedUp = journal.literal / journal.fast;
    if (!journal.identical) {
        std::fprintf(stderr, "orvella-bench: the journal handler and the literal algorithm disagree\n");
        return 1;
    }
    std::printf("ratio conversion/io-floor: %.2f; journal speed-up vs literal: %.1f\n", ratio, speedUp);
    return 0;
}

} // namespace

} // namespace orvella::bench

int main(int argc, char** argv) {
    // A conversion child is the process a player runs, readied as the console program readies it.
    if (argc == 5 && std::string(argv[1]) == orvella::bench::ChildOption) {
        orvella::prepareAllocatorForConversions();
        const orvella::SaveKind kind = std::string(argv[4]) == orvella::bench::OpenMwChild
                                           ? orvella::SaveKind::OpenMw
                                           : orvella::SaveKind::Ess;
        return orvella::bench::convertAndSend(orvella::bench::BenchFolder{argv[2]}, kind, std::atoi(argv[3]))
                   ? 0
                   : 1;
    }
    if (argc > 2 || (argc == 2 && std::string(argv[1]).rfind("-", 0) == 0)) {
        std::fprintf(stderr, "usage: orvella-bench [DATA-FOLDER]\n");
        return 2;
    }
    return orvella::bench::run(argc == 2 ? argv[1] : ORVELLA_BENCH_DATA);
}
