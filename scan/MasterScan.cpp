#include "scan/MasterScan.h"

#include "game/UserTexts.h"
#include "platform/PathLimit.h"
#include "records/RecordStream.h"
#include "scan/HeldRecords.h"
#include "scan/ScanHandlers.h"
#include "scan/ScanMerge.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace orvella {

namespace {

// One master or plugin chosen for the scan, opened before any scan starts.
struct DataFile {
    std::string name;
    Game game;
    std::unique_ptr<File> file;
};

// The files of both passes, and where the error goes.
struct Opening {
    FileSystem& files;
    const GameInstallation& installation;
    std::vector<DataFile> masters;
    std::vector<DataFile> plugins;
    ScanError& error;

    // Opens the file when it is there. A path longer than the platform takes fails the pass with a message
    // that names it (start-up applies the same limit); false then.
    bool openIfPresent(const std::string& name, ScanPass pass, Game game) {
        const std::optional<std::string> path = installation.dataFilePath(name);
        if (!path)
            return true;
        if (auto tooLong = firstTooLongPath({*path})) {
            error = ScanError{pass, texts::tooLongPath(*tooLong), MessageIcon::Warning};
            return false;
        }
        if (auto file = files.open(*path, "rb"))
            (pass == MasterPass ? masters : plugins).push_back(DataFile{name, game, std::move(file)});
        return true;
    }
};

// Walks every record of one file through the scan handlers; false when the file is malformed.
bool scanFile(RecordStream& stream, ScanContext& context, ScanProgress& progress) {
    const ScanPass pass = context.pass;
    std::int32_t count = 0;
    if (!stream.readRecordCount(count))
        return false;
    // Every record takes at least its header, so a larger count cannot be met before the file ends.
    if ((static_cast<std::uint64_t>(count) + 1) * RecordHeaderSize > stream.fileSize())
        return stream.failAt(RecordCountOffset, texts::FewerRecordsThanCounted, "TES3", 0);
    std::int32_t remaining = count + 1;
    const auto total = static_cast<std::uint32_t>(remaining);
    const ScanHandlerMap& handlers = scanHandlerMap(context.saveKind);
    Tag tag;
    while (remaining > 0) {
        if (!stream.peekTag(tag))
            return false;
        auto handler = handlers.find(tag.key());
        if (handler != handlers.end()) {
            if (!handler->second(context, remaining))
                return false;
        } else {
            if (!stream.skipRecord())
                return false;
            --remaining;
        }
        progress.scanned(pass, total - static_cast<std::uint32_t>(remaining), total);
    }
    return true;
}

// Where a pass keeps what it gathers.
struct PassKeeping {
    RecordKeeper& kept;
    TopicSide* topics;
    TopicSide* journals;
};

// Scans one file of a pass for a save of the engine and closes it; false, with the error filled, when it is
// malformed.
bool scanDataFile(DataFile& dataFile, ScanPass pass, SaveKind saveKind, const PassKeeping& keeping,
                  ScanProgress& progress, ScanError& error) {
    RecordStream stream(*dataFile.file, dataFile.name);
    ScanContext context{stream,        pass,     keeping.kept,    keeping.topics,
                        dataFile.game, saveKind, keeping.journals};
    const bool scanned = scanFile(stream, context, progress);
    dataFile.file.reset();
    if (!scanned)
        error = ScanError{pass, stream.error().message(), MessageIcon::Error};
    return scanned;
}

// The progress of a pass that runs on another thread, held until the scanning thread tells it.
class HeldScanProgress final : public ScanProgress {
public:
    void scanned(ScanPass, std::uint32_t done, std::uint32_t total) override {
        steps_.emplace_back(done, total);
    }
    void passCompleted(ScanPass) override { completed_ = true; }

    void tell(ScanPass pass, ScanProgress& progress) const {
        for (const auto& [done, total] : steps_)
            progress.scanned(pass, done, total);
        if (completed_)
            progress.passCompleted(pass);
    }

private:
    std::vector<std::pair<std::uint32_t, std::uint32_t>> steps_;
    bool completed_ = false;
};

// What the second thread makes of the plugins' pass, or of the expansions' masters, held until the calling
// thread takes it.
struct HeldScan {
    explicit HeldScan(ScanPass pass) : records(pass) {}

    HeldRecords records;
    TopicSide topics;
    TopicSide journals;
    HeldScanProgress progress;
    ScanError error;
    bool scanned = false;
};

} // namespace

bool scanMastersAndPlugins(FileSystem& files, const GameInstallation& installation,
                           const IncludedGames& included, TranslationMaps& maps, ScanProgress& progress,
                           ScanError& error, DialogueTopics* topics, ByteChunks* spareBytes,
                           const std::function<void()>& withTopics) {
    Opening opening{files, installation, {}, {}, error};
    // Each game's master, then its plugin; the base game's, opened first, must be there for either pass.
    for (Game game : AllGames) {
        if (!included.includes(game))
            continue;
        if (!opening.openIfPresent(masterFileName(game), MasterPass, game))
            return false;
        if (opening.masters.empty()) {
            error = ScanError{MasterPass, {}, MessageIcon::Error};
            return false;
        }
        if (!opening.openIfPresent(installation.installed(game).pluginName, PluginPass, game))
            return false;
        if (opening.plugins.empty()) {
            error = ScanError{PluginPass, {}, MessageIcon::Error};
            return false;
        }
    }

    // The second thread scans the plugins, then the expansions' masters, while the calling thread scans the
    // base game's master straight into the maps: it alone takes about as long as all the others.
    const SaveKind saveKind = installation.saveKind;
    // OpenMW's journal needs the journals' responses too.
    const bool journals = topics && saveKind == SaveKind::OpenMw;
    auto keepingOf = [&](HeldScan& scan) {
        return PassKeeping{scan.records, topics ? &scan.topics : nullptr,
                           journals ? &scan.journals : nullptr};
    };
    HeldScan plugins(PluginPass);
    std::optional<HeldScan> laterMasters;
    if (opening.masters.size() > 1)
        laterMasters.emplace(MasterPass);
    std::jthread secondThread([&] {
        plugins.scanned = true;
        for (std::size_t i = 0; plugins.scanned && i < opening.plugins.size(); ++i)
            plugins.scanned = scanDataFile(opening.plugins[i], PluginPass, saveKind, keepingOf(plugins),
                                           plugins.progress, plugins.error);
        if (plugins.scanned)
            plugins.progress.passCompleted(PluginPass);
        if (laterMasters) {
            laterMasters->scanned = true;
            for (std::size_t i = 1; laterMasters->scanned && i < opening.masters.size(); ++i)
                laterMasters->scanned =
                    scanDataFile(opening.masters[i], MasterPass, saveKind, keepingOf(*laterMasters),
                                 laterMasters->progress, laterMasters->error);
            if (laterMasters->scanned)
                laterMasters->records.arrange();
        }
        if (plugins.scanned)
            plugins.records.arrange();
    });
    MapKeeper masters(maps);
    const bool mastersScanned = scanDataFile(opening.masters.front(), MasterPass, saveKind,
                                             PassKeeping{masters, topics ? &topics->english : nullptr,
                                                         journals ? &topics->englishJournals : nullptr},
                                             progress, error);
    secondThread.join();
    if (!mastersScanned)
        return false;
    // The expansions' masters follow the base game's, as in a scan of one file after the other.
    if (laterMasters) {
        laterMasters->progress.tell(MasterPass, progress);
        if (!laterMasters->scanned) {
            error = std::move(laterMasters->error);
            return false;
        }
    }
    progress.passCompleted(MasterPass);
    plugins.progress.tell(PluginPass, progress);
    if (!plugins.scanned) {
        error = std::move(plugins.error);
        return false;
    }
    // The topics, which the maps do not touch, are settled and handed over while the held records are merged.
    std::jthread settling;
    if (topics || withTopics)
        settling = std::jthread([&] {
            if (topics) {
                if (laterMasters) {
                    topics->english.append(std::move(laterMasters->topics));
                    topics->englishJournals.append(std::move(laterMasters->journals));
                }
                if (saveKind == SaveKind::Ess) {
                    plugins.topics.dropDeclaredIn(topics->english);
                    topics->italian = std::move(plugins.topics);
                    topics->english.settle();
                    topics->italian.settle();
                } else {
                    // OpenMW's journal reads the plugins' responses of every topic, the pairing only those
                    // of the topics no master declares.
                    topics->plugins = std::move(plugins.topics);
                    topics->pluginJournals = std::move(plugins.journals);
                    for (TopicSide* side : {&topics->english, &topics->plugins, &topics->englishJournals,
                                            &topics->pluginJournals})
                        side->settle();
                    topics->italian = topics->plugins.withoutDeclaredIn(topics->english);
                }
            }
            if (withTopics)
                withTopics();
        });
    std::vector<HeldRecords*> held;
    if (laterMasters)
        held.push_back(&laterMasters->records);
    held.push_back(&plugins.records);
    HeldRecords::mergeInto(maps, held);
    if (spareBytes) {
        spareBytes->take(plugins.records.takeBytes());
        if (laterMasters)
            spareBytes->take(laterMasters->records.takeBytes());
    }
    return true;
}

void registerSaveItem(TranslationMaps& maps, const Record& record) {
    const Subrecord* name = record.findSubrecord("NAME");
    const Subrecord* fullName = record.findSubrecord("FNAM");
    // Without both there is no name to keep; the save's handler then leaves the item as it is.
    if (!name || !fullName)
        return;
    std::string key(name->text());
    if (maps[MapKind::Item].count(key))
        return;
    // The map's key is its id; its name in either edition is its own FNAM, which textIn gives when there is
    // no translation.
    auto item = std::make_unique<TranslatedRecord>(record.tag(), 0, 0, 0);
    item->appendSubrecord(Subrecord(fullName->tag, fullName->data));
    maps[MapKind::Item].emplace(std::move(key), std::move(item));
}

} // namespace orvella
