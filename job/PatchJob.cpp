#include "job/PatchJob.h"

#include "game/SavePaths.h"
#include "game/UserTexts.h"
#include "job/BarUpdater.h"
#include "job/PatchLog.h"
#include "job/SaveReading.h"
#include "platform/FileReplacement.h"
#include "platform/PathLimit.h"
#include "records/Bytes.h"
#include "records/RecordStream.h"
#include "records/RecordWriter.h"
#include "scan/DialogueViews.h"
#include "scan/ItemTags.h"
#include "scan/MasterScan.h"
#include "scan/TranslationMap.h"
#include "translate/ConversionContext.h"
#include "translate/DerivedTopics.h"
#include "translate/JournalFixes.h"
#include "translate/JournalParagraph.h"
#include "translate/NameMaps.h"
#include "translate/OpenMwConversion.h"
#include "translate/SaveHandlers.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace orvella {

namespace {

// The save as the job's thread reads it while other threads make the name maps and the journal's translator,
// for its stage to tell afterwards.
struct SaveReadAhead {
    bool recordsRead = false;
    SaveShape shape;
    std::vector<std::unique_ptr<Record>> records;
    FormatError error;
};

// Everything one conversion owns, from its open files to its translation data; a new job starts empty.
struct JobState {
    explicit JobState(const PatchJob& patchJob)
        : job(patchJob), paths(*job.installation, job.request.saveFileName, job.files),
          newSave(*job.files, paths.temp, paths.realSave) {}
    JobState(const JobState&) = delete;
    JobState& operator=(const JobState&) = delete;

    const PatchJob& job;
    const GameInstallation& installation() const { return *job.installation; }
    ConversionDirection direction() const { return job.request.saveInfo.direction; }
    FileSystem& files() const { return *job.files; }
    const TopicTables& tables() const { return job.tables ? *job.tables : builtInTables(); }
    ProgressView& progress() const { return *job.progressDialog; }
    void showMessage(const std::string& text, MessageIcon icon) const {
        job.messages->show(Message{text, texts::ErrorCaption, icon, MessageButtons::Ok, job.ownerWindow});
    }

    const SavePaths paths;

    std::unique_ptr<FileLock> saveLock; // held from the start of the job to its end
    std::unique_ptr<File> saveFile;
    FileReplacement newSave;
    PatchLog log;

    // The save's records are read into the chunks that the scan held records in, which the system has
    // already handed over; they outlive every use of the records, wherever the records are.
    ByteChunks saveBytes;
    SaveReadAhead saveRead;
    TranslationMaps maps;
    // The pairs derived from the game's files, which the link lists point into.
    DerivedTopicRows derived;
    NameMaps names;
    std::vector<std::unique_ptr<Record>> recordList;
    std::optional<JournalTranslator> journalTranslator;
    // An OpenMW save's journal reads the responses of both editions through the whole conversion.
    std::optional<DialogueTopics> topics;
    std::optional<DialogueViews> dialogue;
    OpenMwConversion openMw;
};

// The scan's progress on the first two bars and their status images.
class ScanBars final : public ScanProgress {
public:
    explicit ScanBars(ProgressView& view)
        : view_(view), masters_(view, JobStage::Masters), plugins_(view, JobStage::Plugins) {}

    void scanned(ScanPass pass, std::uint32_t done, std::uint32_t total) override {
        (pass == MasterPass ? masters_ : plugins_).update(done, total);
    }
    void passCompleted(ScanPass pass) override { view_.setImage(stageOf(pass), StatusImage::Success); }

    static JobStage stageOf(ScanPass pass) {
        return pass == MasterPass ? JobStage::Masters : JobStage::Plugins;
    }

private:
    ProgressView& view_;
    BarUpdater masters_;
    BarUpdater plugins_;
};

// Whether a topic table that the conversion loads takes pairs derived from the game's files.
bool derivesTopics(const TopicTables& tables, const IncludedGames& included) {
    return std::any_of(AllGames.begin(), AllGames.end(), [&](Game game) {
        return included.includes(game) && !tables.suppliedAsFile[indexOf(game)];
    });
}

// The journal entries of an OpenMW save, translated while the rest of the save is read: a thread of its own
// agrees the names that responses put in, pairs and names the topics, then takes the entries as the reader
// finds them, and the job's thread joins it once the save is read. Only a topic's entries need the topics
// named, and OpenMW writes them after its quests' and diary's: the job's thread takes those meanwhile.
// OpenMW writes its journal right after the save's header; an entry that the reader finds after the
// journal's records is left to its handler.
class JournalAhead {
public:
    JournalAhead(JobState& state, const std::function<void()>& naming)
        : state_(state), context_{state.direction(),
                                  state.maps,
                                  state.names,
                                  translationPlugins(state.job.request.saveInfo, state.installation()),
                                  state.log,
                                  {},
                                  nullptr,
                                  &state.openMw},
          thread_([this, naming] {
              state_.openMw.names = agreedNames(state_.maps, state_.direction());
              tell(namesAgreed_);
              naming();
              tell(topicsNamed_);
              translate();
          }) {}
    JournalAhead(const JournalAhead&) = delete;
    JournalAhead& operator=(const JournalAhead&) = delete;
    ~JournalAhead() { close(); }

    // Called by the reader with each record as it is read, before any later one.
    void take(Record& record, std::int64_t index) {
        // The entries' format and the player's name come before them.
        if (index == 0)
            state_.openMw.formatVersion = state_.saveRead.shape.formatVersion;
        if (const Subrecord* name = index == 1 ? record.findSubrecord("PLNA") : nullptr)
            state_.openMw.playerName = name->text();
        if (record.tag().is("JOUR")) {
            if (closed_)
                return;
            const Subrecord* type = record.findSubrecord("JETY");
            const bool topic = type && type->size() == 4 && loadU32(type->data.data()) == TopicEntryType;
            {
                std::lock_guard lock(mutex_);
                entries_.push_back({&record, topic, false});
            }
            changed_.notify_one();
            journalSeen_ = true;
        } else if (journalSeen_ && !record.tag().is("QUES")) {
            close();
        }
    }
    // Translates what is left beside the thread once the save is read, then hands the entries over.
    void finish() {
        close();
        translate();
        thread_.join();
        state_.openMw.preparedEntries.reserve(entries_.size());
        for (const Entry& entry : entries_)
            state_.openMw.preparedEntries.push_back({entry.record, entry.translated});
    }

private:
    static constexpr std::uint32_t TopicEntryType = 1;

    struct Entry {
        Record* record;
        bool topic; // a topic's entry, which needs the topics named
        bool translated;
    };

    void tell(bool& done) {
        {
            std::lock_guard lock(mutex_);
            done = true;
        }
        changed_.notify_all();
    }
    void close() { tell(closed_); }
    // Whether the next entry may be translated now, or none will come.
    bool ready() const {
        if (next_ == entries_.size())
            return closed_;
        return namesAgreed_ && (topicsNamed_ || !entries_[next_].topic);
    }
    // Takes the next entry while there is one or more may come; an entry stays where it is in the deque as
    // more are added, so it is translated outside the lock.
    void translate() {
        std::unique_lock lock(mutex_);
        while (true) {
            changed_.wait(lock, [&] { return ready(); });
            if (next_ == entries_.size())
                return;
            Entry& entry = entries_[next_++];
            lock.unlock();
            entry.translated = translateJournalRecord(*entry.record, context_);
            lock.lock();
        }
    }

    JobState& state_;
    ConversionContext context_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Entry> entries_;
    std::size_t next_ = 0;
    bool closed_ = false;      // no entry is added any more
    bool journalSeen_ = false; // the reader's alone
    bool namesAgreed_ = false;
    bool topicsNamed_ = false;
    std::jthread thread_; // last, so that it starts once the rest is there
};

// Reads the save through the stream's own buffer, never holding its bytes whole: a read that fails stops the
// job with the records taken so far, before anything is written. An OpenMW save's journal entries go to be
// translated as they are read.
void readSaveAhead(JobState& state, JournalAhead* journal = nullptr) {
    SaveReadAhead& ahead = state.saveRead;
    // The save's own items go into the item map, which nothing else touches until the save is read.
    const SaveKind kind = state.installation().saveKind;
    auto take = [&](std::unique_ptr<Record> record, std::int64_t index) {
        if (kind == SaveKind::Ess && isItemTag(record->tag()))
            registerSaveItem(state.maps, *record);
        if (journal)
            journal->take(*record, index);
        ahead.records.push_back(std::move(record));
    };
    state.saveBytes.restart();
    ahead.recordsRead = readSaveRecords(kind, *state.saveFile, state.job.request.saveFileName, ahead.shape,
                                        take, ahead.error, &state.saveBytes);
}

// Scans the game's files into the maps, and the topics when given; false, with the user told, when it fails.
bool scanGame(JobState& state, const IncludedGames& included, DialogueTopics* topics,
              const std::function<void()>& withTopics) {
    ScanBars bars(state.progress());
    ScanError error;
    if (scanMastersAndPlugins(state.files(), state.installation(), included, state.maps, bars, error, topics,
                              &state.saveBytes, withTopics))
        return true;
    state.progress().setImage(ScanBars::stageOf(error.pass), StatusImage::Failure);
    if (!error.message.empty())
        state.showMessage(error.message, error.icon);
    return false;
}

bool buildEssTranslationData(JobState& state) {
    const IncludedGames included = includedGames(state.job.request.saveInfo, state.installation());
    const bool derive = derivesTopics(state.tables(), included);
    // The topics' responses serve only to pair them: they are gone once paired, and the chunks they were kept
    // in take the save's records. The pairs and the name maps are made while the scan merges its records into
    // the maps, which they do not read; the topics' marker, which only the journal needs, is made on a thread
    // of its own from then on, while the save is read.
    DialogueTopics topics;
    ByteChunks topicBytes;
    std::optional<TopicMarker> marker;
    std::jthread marking;
    auto naming = [&] {
        if (derive)
            state.derived = derivedTopicRows(topics, pairTopics(topics), state.tables());
        topicBytes.take(topics.english.takeBytes());
        topicBytes.take(topics.italian.takeBytes());
        topics = DialogueTopics();
        loadTopicTables(state.tables(), state.derived, state.direction(), included, state.names);
        marking = std::jthread([&] { marker.emplace(state.names.targetTopicLinks(state.direction())); });
    };
    if (!scanGame(state, included, derive ? &topics : nullptr, naming))
        return false;
    state.saveBytes.take(std::move(topicBytes));
    addJournalFixes(state.tables().journalFixes, state.maps);
    // The maps no longer change but for the save's own items. While the job's thread reads the save, another
    // finds the journal's entries and the quests' names in them.
    std::optional<JournalEntries> entries;
    std::jthread indexing([&] {
        entries.emplace(state.maps, state.direction());
        buildQuestNameMap(state.maps, state.direction(), state.names);
    });
    readSaveAhead(state);
    // Chunks that the save did not need would only be held until the end.
    state.saveBytes.releaseSpare();
    indexing.join();
    marking.join();
    state.journalTranslator.emplace(std::move(*entries), std::move(*marker));
    return buildMonthNameMap(state.maps, state.direction(), state.names);
}

// An OpenMW save's journal finds its entries' responses in both editions, so the topics stay until the save
// is converted. Once the scan is done, the pairs, the name maps and the names that responses put in are made
// while the save is read, and the journal's entries translated from then on as the reader finds them.
bool buildOpenMwTranslationData(JobState& state) {
    const IncludedGames included = includedGames(state.job.request.saveInfo, state.installation());
    const bool derive = derivesTopics(state.tables(), included);
    DialogueTopics& topics = state.topics.emplace();
    auto naming = [&] {
        if (derive)
            state.derived = derivedTopicRows(topics, pairTopics(topics), state.tables());
        loadTopicTables(state.tables(), state.derived, state.direction(), included, state.names);
        state.openMw.topicNames = foldedTopicNames(state.names.topicNameMap);
    };
    if (!scanGame(state, included, &topics, {}))
        return false;
    state.openMw.dialogue = &state.dialogue.emplace(topics);
    JournalAhead journal(state, naming);
    readSaveAhead(state, &journal);
    state.saveBytes.releaseSpare();
    journal.finish();
    return true;
}

bool buildTranslationData(JobState& state) {
    return state.installation().saveKind == SaveKind::Ess ? buildEssTranslationData(state)
                                                          : buildOpenMwTranslationData(state);
}

// How many journal entries an OpenMW save holds, for the journal's progress; its format and its player's name
// were taken as it was read.
void countOpenMwJournalEntries(JobState& state) {
    for (const auto& record : state.recordList)
        if (record->tag().is("JOUR"))
            ++state.openMw.journalEntries;
}

// Takes the records read ahead, and tells the reading's progress and any fault the read met.
bool readSave(JobState& state, std::int32_t& count) {
    SaveReadAhead& ahead = state.saveRead;
    state.saveFile.reset();
    BarUpdater bar(state.progress(), JobStage::Reading);
    count = ahead.shape.count;
    state.recordList = std::move(ahead.records);
    for (std::uint32_t index = 0; index < state.recordList.size(); ++index)
        bar.update(index, static_cast<std::uint32_t>(count));
    if (!ahead.recordsRead) {
        state.showMessage(ahead.error.message(), MessageIcon::Error);
        return false;
    }
    if (state.installation().saveKind == SaveKind::OpenMw)
        countOpenMwJournalEntries(state);
    bar.set(100);
    state.progress().setImage(JobStage::Reading, StatusImage::Success);
    return true;
}

// How many of the save's records the conversion has finished, for the thread that writes them meanwhile.
// The writer waits on a condition variable: std::atomic's own wait can miss a wake-up where it has no
// futex, as on Windows.
class ConvertedRecords {
public:
    // Wakes the writer only every so many records: it has most often caught up and waits.
    void reached(std::size_t records) {
        done_.store(records, std::memory_order_release);
        if (records % WakeEvery == 0)
            wake();
    }
    void reachedAll(std::size_t records) {
        done_.store(records, std::memory_order_release);
        wake();
    }
    // Waits until the record at the index is converted.
    void waitFor(std::size_t index) {
        if (done_.load(std::memory_order_acquire) > index)
            return;
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return done_.load(std::memory_order_acquire) > index; });
    }

private:
    static constexpr std::size_t WakeEvery = 64;

    // Taking the lock orders the change before a waiter's check, so the wake-up cannot fall between them.
    void wake() {
        { std::lock_guard lock(mutex_); }
        changed_.notify_one();
    }

    std::atomic<std::size_t> done_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
};

// Runs every record through its handler, marking the ones it drops, and tells the writer of each.
void convertSave(JobState& state, std::uint32_t count, std::vector<std::uint8_t>& dropped,
                 ConvertedRecords& converted) {
    BarUpdater bar(state.progress(), JobStage::Converting);
    // The journal tells how far it is, then its end with done equal to total: its bar goes to 100 and gets
    // its image, and a later journal record starts the bar again.
    BarUpdater journalBar(state.progress(), JobStage::Journal);
    ConversionContext context{state.direction(),
                              state.maps,
                              state.names,
                              translationPlugins(state.job.request.saveInfo, state.installation()),
                              state.log,
                              [&](std::uint32_t done, std::uint32_t total) {
                                  if (done < total) {
                                      journalBar.update(done, total);
                                      return;
                                  }
                                  state.progress().setBarPosition(JobStage::Journal, 100);
                                  state.progress().setImage(JobStage::Journal, StatusImage::Success);
                                  journalBar.restart();
                              },
                              state.journalTranslator ? &*state.journalTranslator : nullptr,
                              state.topics ? &state.openMw : nullptr};
    const SaveHandlerMap& handlers = saveHandlerMap(state.installation().saveKind);
    std::uint32_t j = 0;
    for (auto& record : state.recordList) {
        auto handler = handlers.find(record->tag().key());
        dropped[j] = handler != handlers.end() && !handler->second(*record, context);
        converted.reached(j + 1);
        bar.update(j++, count);
    }
    // An OpenMW save without a journal entry has its journal done all the same.
    if (context.openMw && context.openMw->journalEntries == 0)
        context.journalProgress(0, 0);
    bar.set(100);
    state.progress().setImage(JobStage::Converting, StatusImage::Success);
}

// Writes each kept record to the temporary file once it is converted, a stretch at a time so that the new
// save is never held whole, then lowers the record count by the dropped ones; false when the new save is
// incomplete.
bool writeNewSave(JobState& state, std::uint32_t count, const std::vector<std::uint8_t>& dropped,
                  ConvertedRecords& converted) {
    constexpr std::size_t StretchBytes = 1 << 20;
    std::vector<std::uint8_t> stretch;
    stretch.reserve(2 * StretchBytes);
    std::uint32_t droppedCount = 0;
    std::uint64_t fileBytes = 0;
    bool written = true;
    for (std::size_t i = 0; written && i < state.recordList.size(); ++i) {
        converted.waitFor(i);
        if (dropped[i])
            ++droppedCount;
        else
            serializeRecord(*state.recordList[i], stretch);
        const bool last = i + 1 == state.recordList.size();
        if (stretch.size() >= StretchBytes || (last && !stretch.empty())) {
            written = state.newSave.write(stretch.data(), stretch.size());
            fileBytes += stretch.size();
            stretch.clear();
        }
    }
    // The header record, always written first, keeps its size and its HEDR, so the count stays at its offset.
    // OpenMW's header keeps no count at a fixed place, and its saves lose no records.
    const bool counted = state.installation().saveKind == SaveKind::Ess;
    if (written && counted && droppedCount > 0 && fileBytes >= RecordCountOffset + 4) {
        std::uint8_t kept[4];
        storeU32(kept, count - droppedCount);
        written = state.newSave.overwrite(RecordCountOffset, kept, sizeof kept);
    }
    return written;
}

// The new save written to the temporary file on a thread of its own, each record once the conversion is done
// with it.
class SaveWriting {
public:
    SaveWriting(JobState& state, std::uint32_t count)
        : dropped_(state.recordList.size(), 0),
          writer_([this, &state, count] { written_ = writeNewSave(state, count, dropped_, converted_); }) {}
    SaveWriting(const SaveWriting&) = delete;
    SaveWriting& operator=(const SaveWriting&) = delete;
    ~SaveWriting() { wait(); }

    std::vector<std::uint8_t>& dropped() { return dropped_; }
    ConvertedRecords& converted() { return converted_; }
    // Waits for the writer; false, with the user told, when the new save is incomplete.
    bool finish(JobState& state) {
        wait();
        if (!written_)
            state.showMessage(texts::CannotWriteTemp, MessageIcon::Error);
        return written_;
    }

private:
    // The writer waits for every record, so it is told they are all done even when the conversion stopped.
    void wait() {
        if (!writer_.joinable())
            return;
        converted_.reachedAll(dropped_.size());
        writer_.join();
    }

    std::vector<std::uint8_t> dropped_;
    ConvertedRecords converted_;
    bool written_ = false;
    std::jthread writer_; // last, so that it starts once the rest is there
};

// Syncs the new save and checks it whole; false, with the user told, when it is not.
bool finishNewSave(JobState& state) {
    // OpenMW's load menu shows a character's saves newest first: a converted save keeps its place there.
    const bool finished =
        state.newSave.finish(state.paths.realSave, state.installation().saveKind == SaveKind::OpenMw);
    if (!finished)
        state.showMessage(texts::CannotWriteTemp, MessageIcon::Error);
    return finished;
}

// Whether the save, as it is now, is made with the same files and so converts the same way.
bool sameSave(const SaveInfo& now, const SaveInfo& chosen) {
    return now.direction == chosen.direction && now.games == chosen.games &&
           now.formatVersion == chosen.formatVersion;
}

// Opens the log and writes its first line; false, with the user told, when it cannot be created. OpenMW's
// backups and logs go to a folder for each character, made as its first save is converted.
bool openLog(JobState& state) {
    const SavePaths& paths = state.paths;
    if (state.installation().saveKind == SaveKind::OpenMw &&
        !makeFolders(state.files(), paths.backupFolder)) {
        state.showMessage(texts::NoBackupFolder, MessageIcon::Warning);
        return false;
    }
    if (!state.log.open(state.files(), paths.log, paths.logTemp)) {
        state.showMessage(texts::CannotOpenLog, MessageIcon::Error);
        return false;
    }
    state.log.writeFirstLine(state.job.request.saveFileName);
    return true;
}

// Takes the save for this job and opens its files. The lock comes first, so that a job that finds the save
// taken writes nothing at all, not even its log; the temporary files come after it, each once a stale one
// that a killed job left is removed, which only the holder of the save may do.
bool openJobFiles(JobState& state) {
    FileSystem& files = state.files();
    const SavePaths& paths = state.paths;
    if (auto tooLong = firstTooLongPath({paths.save, paths.realSave, paths.temp, paths.log, paths.logTemp,
                                         paths.backup, paths.backupTemp})) {
        state.showMessage(texts::tooLongPath(*tooLong), MessageIcon::Warning);
        return false;
    }
    bool busy = false;
    state.saveLock = files.lockFile(paths.realSave, busy);
    if (!state.saveLock) {
        state.showMessage(busy ? texts::SaveInUse : texts::CannotOpenSave,
                          busy ? MessageIcon::Warning : MessageIcon::Error);
        return false;
    }
    // Windows' move refuses to replace a read-only save; every platform refuses it here, before any work.
    if (!files.isWritable(paths.realSave)) {
        state.showMessage(texts::CannotOverwriteSave, MessageIcon::Warning);
        return false;
    }
    // A save that another conversion changed after it was chosen, and before this job took it, would be
    // translated twice.
    if (state.job.request.classifyAgain) {
        auto now =
            state.job.request.classifyAgain(files, state.installation(), state.job.request.saveFileName);
        if (!now || !sameSave(*now, state.job.request.saveInfo)) {
            state.showMessage(now ? texts::SaveInUse : texts::CannotOpenSave,
                              now ? MessageIcon::Warning : MessageIcon::Error);
            return false;
        }
    }
    state.saveFile = files.open(paths.realSave, "rb");
    if (!state.saveFile) {
        state.showMessage(texts::CannotOpenSave, MessageIcon::Error);
        return false;
    }
    if (state.installation().saveKind == SaveKind::Ess && !openLog(state))
        return false;
    if (!state.newSave.create()) {
        state.showMessage(texts::CannotWriteTemp, MessageIcon::Error);
        return false;
    }
    return true;
}

// Copies the save as it is on disk into the new backup, to the save's full length.
bool copySave(JobState& state, FileReplacement& backup) {
    auto save = state.files().open(state.paths.realSave, "rb");
    const std::int64_t size = save ? fileLength(*save) : -1;
    if (size < 0 || !save->seek(0, SeekOrigin::Begin))
        return false;
    std::vector<char> buffer(1 << 18);
    for (std::int64_t left = size; left > 0;) {
        std::size_t got =
            save->read(buffer.data(),
                       static_cast<std::size_t>(std::min<std::int64_t>(left, std::int64_t(buffer.size()))));
        if (got == 0 || !backup.write(buffer.data(), got))
            return false;
        left -= static_cast<std::int64_t>(got);
    }
    return true;
}

// The backup is written whole under a name of its own, synced, measured and given the save's modification
// time on a thread of its own while the save is converted, and only moved over the older one once the new
// save is complete: a failure or a kill at any point leaves the older backup as it was.
class BackupWriting {
public:
    explicit BackupWriting(JobState& state)
        : backup_(state.files(), state.paths.backupTemp, state.paths.backup),
          writer_([this, &state] { written_ = write(state); }) {}
    BackupWriting(const BackupWriting&) = delete;
    BackupWriting& operator=(const BackupWriting&) = delete;
    ~BackupWriting() { discard(); }

    // Waits for the backup and moves it into place; false when it could not be written or moved.
    bool moveOver() {
        writer_.join();
        return written_ && backup_.moveOver();
    }
    // Waits for the backup and removes its temporary file unless it was moved.
    void discard() {
        if (writer_.joinable())
            writer_.join();
        backup_.discard();
    }

private:
    bool write(JobState& state) {
        FileSystem& files = state.files();
        const SavePaths& paths = state.paths;
        // Windows' move refuses to replace a read-only backup; every platform leaves it alone.
        if (files.exists(paths.backup) && !files.isWritable(paths.backup))
            return false;
        return backup_.create() && copySave(state, backup_) && backup_.finish(paths.realSave, true);
    }

    FileReplacement backup_;
    bool written_ = false;
    std::jthread writer_; // last, so that it starts once the rest is there
};

bool replaceSave(JobState& state, BackupWriting& backup) {
    if (!backup.moveOver()) {
        state.showMessage(texts::CannotBackUp, MessageIcon::Warning);
        return false;
    }
    // The new save moves into place whole, so a failure can never leave it half written.
    if (!state.newSave.moveOver(state.saveLock.get())) {
        state.showMessage(texts::CannotOverwriteSave, MessageIcon::Warning);
        return false;
    }
    return true;
}

// The records that releasing the job's data goes through one by one, out of the finalisation bar's total.
struct ReleaseCount {
    std::uint32_t records = 0;
    std::uint32_t total = 0;
};

ReleaseCount countJobData(const JobState& state) {
    const std::size_t records = state.maps.recordCount() + state.recordList.size();
    return {static_cast<std::uint32_t>(records),
            static_cast<std::uint32_t>(records + state.names.questNameMap.size())};
}

// Empties the journal's translator, the name maps and the maps.
void releaseTranslationData(JobState& state) {
    TranslationMaps& maps = state.maps;
    NameMaps& names = state.names;
    state.journalTranslator.reset();
    names.englishTopicLinks.clear();
    names.italianTopicLinks.clear();
    // The chunks go first: the records' destructors never read the bytes they borrowed, and a large block
    // given back after many small ones makes the allocator sort all of those first.
    for (ByteChunks& chunks : maps.bytes)
        chunks = ByteChunks();
    // Each map's records go with their nodes, in one walk of the map.
    for (TranslationMap& map : maps.maps)
        map.clear();
    state.dialogue.reset();
    state.topics.reset();
    state.openMw = OpenMwConversion();
    state.derived = DerivedTopicRows();
    names.topicNameMap.clear();
    names.monthNameMap.clear();
    names.questNameMap.clear();
}

// Empties the save's records and the chunks they were read into.
void releaseSaveRecords(JobState& state) {
    // The chunks go first, as the maps' do.
    state.saveBytes = ByteChunks();
    state.recordList.clear();
}

// Drives the finalisation bar through the released records once they are all gone.
void tellRelease(JobState& state, ReleaseCount count) {
    BarUpdater bar(state.progress(), JobStage::Finalising);
    for (std::uint32_t released = 1; released <= count.records; ++released)
        bar.update(released, count.total);
    bar.set(100);
    state.progress().setImage(JobStage::Finalising, StatusImage::Success);
}

} // namespace

PatchResult runPatchJob(const PatchJob& job) {
    JobState state(job);
    FileSystem& files = state.files();
    bool success = openJobFiles(state);

    std::int32_t count = 0;
    success = success && buildTranslationData(state);
    success = success && readSave(state, count);
    // An OpenMW save that cannot be read leaves nothing behind, not even a log, nor its character's folder.
    success = success && (state.installation().saveKind == SaveKind::Ess || openLog(state));
    std::optional<BackupWriting> backup;
    std::optional<SaveWriting> writing;
    if (success) {
        backup.emplace(state);
        writing.emplace(state, static_cast<std::uint32_t>(count));
        convertSave(state, static_cast<std::uint32_t>(count), writing->dropped(), writing->converted());
    }

    // Nothing reads the translation data once the save is converted, nor the save's records once the new save
    // is written: a thread releases each in turn meanwhile, while the new save is finished, synced and moved
    // into place with the backup. A log that is kept whatever follows is stored meanwhile too.
    const ReleaseCount released = countJobData(state);
    bool clean = false;
    {
        std::jthread storingLog;
        if (success && state.log.untranslatedJournalCount() > 0)
            storingLog = std::jthread([&state] { state.log.store(); });
        // One thread releases all, since two freeing at once wait on each other.
        std::promise<void> written;
        std::jthread releasing([&state, newSaveWritten = written.get_future()] {
            releaseTranslationData(state);
            newSaveWritten.wait();
            releaseSaveRecords(state);
        });
        {
            // The releasing thread is told that the new save is written even when the writing stopped.
            struct Told {
                std::promise<void>& written;
                ~Told() { written.set_value(); }
            } told{written};
            success = success && writing->finish(state);
        }
        success = success && finishNewSave(state);
        success = success && replaceSave(state, *backup);

        // Whatever happened, no temporary file stays beside the save.
        state.saveFile.reset();
        state.newSave.discard();
        backup.reset();

        // Only untranslated journal paragraphs make a successful job keep its log; a failed job keeps the log
        // it began. A log that cannot be moved into place or deleted changes nothing in the outcome.
        clean = success && state.log.untranslatedJournalCount() == 0;
        if (storingLog.joinable())
            storingLog.join();
        if (clean)
            state.log.discard();
        else
            state.log.keep();
    }
    tellRelease(state, released);

    PatchResult result;
    result.logPath = state.paths.log;
    result.logKept = files.exists(state.paths.log);
    result.outcomeText = clean     ? texts::PatchSucceeded
                         : success ? texts::PatchSucceededUntranslated
                                   : texts::PatchFailed;
    result.logOffered = success && !clean;
    result.exitCode = success ? 0 : 1;
    // Another job may take the save only once this one has nothing left to do with its files.
    state.saveLock.reset();
    state.progress().finished(result);
    return result;
}

} // namespace orvella
