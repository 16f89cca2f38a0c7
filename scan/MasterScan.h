#pragma once

#include "game/Expansions.h"
#include "game/GameInstallation.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "records/Record.h"
#include "scan/DialogueTopics.h"
#include "scan/ScanContext.h"
#include "scan/TranslationMap.h"

#include <cstdint>
#include <functional>
#include <string>

namespace orvella {

// What the scan tells while it runs.
class ScanProgress {
public:
    virtual ~ScanProgress() = default;
    // The records of the current file of the pass done so far, out of all of them.
    virtual void scanned(ScanPass pass, std::uint32_t done, std::uint32_t total) = 0;
    // Every file of the pass is scanned.
    virtual void passCompleted(ScanPass pass) = 0;
};

// The progress of a scan that nobody watches.
class SilentScanProgress final : public ScanProgress {
public:
    void scanned(ScanPass, std::uint32_t, std::uint32_t) override {}
    void passCompleted(ScanPass) override {}
};

// Why the scan stopped: the pass whose files failed and, unless a missing file says it all, the message to
// show.
struct ScanError {
    ScanPass pass = MasterPass;
    std::string message;
    MessageIcon icon = MessageIcon::Error;
};

// Reads the masters and the translation plugins of the base game and of the expansions taken in, from the
// installation's "Data Files", into the maps, and gathers their regular topics when given where. Every file
// is opened before the first is scanned; the base game's two must be there, an expansion's are passed over
// when missing. The plugins, then the expansions' masters, are scanned on a second thread while the base
// game's master is, their records held and merged afterwards, so that the maps are those of a scan of the
// masters in order followed by the plugins. The progress is told on the calling thread alone, the masters'
// pass first. False, with error filled, when a file is
// missing, its path too long or its records malformed; a malformed master is the error when a plugin is
// malformed too. The chunks that held records go to spareBytes when given, to be written into again.
// withTopics, when given, runs on a thread of its own once every file is scanned and the topics are settled,
// while the records are merged into the maps: it may use the topics, never the maps.
bool scanMastersAndPlugins(FileSystem& files, const GameInstallation& installation,
                           const IncludedGames& included, TranslationMaps& maps, ScanProgress& progress,
                           ScanError& error, DialogueTopics* topics = nullptr,
                           ByteChunks* spareBytes = nullptr, const std::function<void()>& withTopics = {});

// Adds an item the save defines itself, named alike in both languages, unless its ID is known.
void registerSaveItem(TranslationMaps& maps, const Record& record);

} // namespace orvella
