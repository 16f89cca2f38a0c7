#include "scan/MasterScan.h"

#include "game/Expansions.h"
#include "job/BarUpdater.h"
#include "job/JobState.h"
#include "job/ProgressControls.h"
#include "platform/PathLimit.h"
#include "records/RecordStream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvella {

namespace {

// One master or plugin chosen for the scan, opened before any scan starts.
struct DataFile {
    std::string name;
    std::unique_ptr<File> file;
};

// Opens the file when it is there. A path longer than the platform takes fails the stage with a message that
// names it (start-up applies the same limit); false then.
bool openIfPresent(const JobState& state, const std::string& name, std::vector<DataFile>& files,
                   int imageId) {
    std::string path = state.installation().installPath + DataFilesFolder + name;
    if (auto tooLong = tooLongPathMessage({path})) {
        state.progress().setImage(imageId, StatusImage::Failure);
        state.showMessage(*tooLong, MessageIcon::Warning);
        return false;
    }
    if (auto file = state.files().open(path, "rb"))
        files.push_back(DataFile{name, std::move(file)});
    return true;
}

// Walks every record of one file through the scan handlers; false when the file is malformed.
bool scanFile(JobState& state, RecordStream& stream, ScanPass pass, BarUpdater& bar) {
    std::int32_t count = 0;
    if (!stream.readRecordCount(count))
        return false;
    // Every record takes at least its header, so a larger count cannot be met before the file ends.
    if ((static_cast<std::uint64_t>(count) + 1) * RecordHeaderSize > stream.fileSize())
        return stream.failAt(RecordCountOffset,
                             "il file contiene meno record di quanti ne indica l'intestazione", "TES3", 0);
    std::int32_t remaining = count + 1;
    const auto total = static_cast<std::uint32_t>(remaining);
    ScanContext context{stream, pass, state.maps};
    Tag tag;
    while (remaining > 0) {
        if (!stream.peekTag(tag))
            return false;
        auto handler = state.scanHandlerMap.find(std::string(tag.str()));
        if (handler != state.scanHandlerMap.end()) {
            if (!handler->second(context, remaining))
                return false;
        } else {
            if (!stream.skipRecord())
                return false;
            --remaining;
        }
        bar.update(total - static_cast<std::uint32_t>(remaining), total);
    }
    return true;
}

// Scans the files of one pass in order, closing each after its scan; a malformed file fails the pass.
bool scanPass(JobState& state, std::vector<DataFile>& files, ScanPass pass, int barId, int imageId) {
    BarUpdater bar(state.progress(), barId);
    for (DataFile& dataFile : files) {
        RecordStream stream(*dataFile.file, dataFile.name);
        bool scanned = scanFile(state, stream, pass, bar);
        dataFile.file.reset();
        if (!scanned) {
            state.progress().setImage(imageId, StatusImage::Failure);
            state.showMessage(stream.error().message(), MessageIcon::Error);
            return false;
        }
    }
    state.progress().setImage(imageId, StatusImage::Success);
    return true;
}

} // namespace

bool scanMastersAndPlugins(JobState& state) {
    const GameInstallation& installation = state.installation();
    const SaveInfo& save = state.job.saveInfo;

    std::vector<DataFile> masters;
    std::vector<DataFile> plugins;
    if (!openIfPresent(state, MorrowindMasterName, masters, MasterImage))
        return false;
    if (masters.empty()) {
        state.progress().setImage(MasterImage, StatusImage::Failure);
        return false;
    }
    if (!openIfPresent(state, MorrowindPluginName, plugins, PluginImage))
        return false;
    if (plugins.empty()) {
        masters.clear();
        state.progress().setImage(PluginImage, StatusImage::Failure);
        return false;
    }
    const IncludedExpansions expansions = includedExpansions(save, installation);
    if (expansions.tribunal && (!openIfPresent(state, TribunalMasterName, masters, MasterImage) ||
                                !openIfPresent(state, installation.tribunalPluginName, plugins, PluginImage)))
        return false;
    if (expansions.bloodmoon && (!openIfPresent(state, BloodmoonMasterName, masters, MasterImage) ||
                                 !openIfPresent(state, BloodmoonPluginName, plugins, PluginImage)))
        return false;

    return scanPass(state, masters, MasterPass, MasterBar, MasterImage) &&
           scanPass(state, plugins, PluginPass, PluginBar, PluginImage);
}

bool isSaveItemTag(const Tag& tag) {
    static const char* const SaveItemTags[] = {"BOOK", "CONT", "WEAP", "ARMO", "LOCK", "PROB", "REPA",
                                               "CLOT", "INGR", "LIGH", "SPEL", "ALCH", "MISC", "APPA"};
    for (const char* itemTag : SaveItemTags)
        if (tag.sameBytes(Tag(itemTag)))
            return true;
    return false;
}

void registerSaveItem(TranslationMaps& maps, const Record& record) {
    const Subrecord* name = record.findSubrecord("NAME");
    const Subrecord* fullName = record.findSubrecord("FNAM");
    // Without both there is no name to keep; the save's handler then leaves the item as it is.
    if (!name || !fullName)
        return;
    std::string key(name->text());
    if (maps.itemNameMap.count(key))
        return;
    auto item = std::make_unique<TranslatedRecord>(record.tag(), 0, 0, 0);
    item->appendSubrecord(std::make_unique<Subrecord>(name->tag, name->data));
    item->appendSubrecord(std::make_unique<Subrecord>(fullName->tag, fullName->data));
    item->setTranslation("FNAM", fullName->data.data(), fullName->size());
    maps.itemNameMap.emplace(std::move(key), std::move(item));
}

} // namespace orvella
