#include "job/BarUpdater.h"
#include "job/JobState.h"
#include "job/ProgressControls.h"
#include "platform/MemoryFile.h"
#include "records/Bytes.h"
#include "records/MasterScan.h"
#include "records/RecordStream.h"
#include "records/RecordWriter.h"
#include "translate/JournalFixes.h"

#include <cstring>

namespace orvella {

namespace {

constexpr const char* ErrorCaption = "Errore";
constexpr const char* CannotOpenSave = "Impossibile aprire il salvataggio";
constexpr const char* CannotOpenLog = "Impossibile aprire il file di log";
constexpr const char* CannotWriteTemp = "Impossibile scrivere i files temporanei";
constexpr const char* CannotBackUp = "Impossibile creare il file di backup. Cambiamenti non apportati.";
constexpr const char* CannotOverwrite =
    "Impossibile sovrascrivere il file del salvataggio. Cambiamenti non apportati.";
constexpr const char* Succeeded = "Patch effettuata con successo";
constexpr const char* SucceededWithUntranslated =
    "Patch effettuata con successo, ma con delle frasi non tradotte";
constexpr const char* Failed = "Patch non effettuata con successo";

bool buildTranslationData(JobState& state) {
    loadTopicTables(state);
    buildHandlerMap(saveHandlerTable(), state.saveHandlerMap);
    buildHandlerMap(scanHandlerTable(), state.scanHandlerMap);
    if (!scanMastersAndPlugins(state))
        return false;
    buildQuestNameMap(state);
    addJournalFixes(state);
    return buildMonthNameMap(state);
}

// The header's first subrecord must be a full HEDR, since the record count is read and written inside it.
bool checkHeaderRecord(RecordStream& stream, const Record& header) {
    if (!header.tag().is("TES3"))
        return stream.failAt(0, "il file non inizia con un record TES3", std::string(header.tag().text, 4),
                             0);
    if (header.subrecordCount() == 0 || !header.subrecordAt(0).tag.is("HEDR"))
        return stream.failAt(0, "l'intestazione non contiene HEDR", "TES3", 0);
    if (header.subrecordAt(0).size() < 300)
        return stream.failAt(16, "HEDR \xE8 pi\xF9 corto di 300 byte", "TES3", 0);
    return true;
}

// Reads the whole file in one call; false when it cannot be read to its end.
bool readWholeSave(File& file, std::string& bytes) {
    if (!file.seek(0, SeekOrigin::End))
        return false;
    std::int64_t size = file.tell();
    if (size < 0 || !file.seek(0, SeekOrigin::Begin))
        return false;
    bytes.resize(static_cast<std::size_t>(size));
    return file.read(bytes.data(), bytes.size()) == bytes.size();
}

// The save is held whole anyway, so it is read in one call and walked in memory: a failed read can only
// stop the job before the first record, never leave it with part of the save.
bool readSave(JobState& state, std::int32_t& count) {
    const std::string& saveFileName = state.job.request.saveFileName;
    std::string bytes;
    if (!readWholeSave(*state.saveFile, bytes)) {
        state.showMessage(FormatError{saveFileName, {}, -1, 0, "lettura non riuscita"}.message(),
                          MessageIcon::Error);
        return false;
    }
    state.saveFile.reset();
    MemoryFile file(std::move(bytes));
    RecordStream stream(file, saveFileName);
    BarUpdater bar(state.progress(), ReadBar);
    bool ok = stream.readRecordCount(count);
    for (std::int64_t i = 0; ok && i <= count; ++i) {
        auto record = stream.readRecord();
        if (!record) {
            ok = false;
            break;
        }
        if (i == 0 && !checkHeaderRecord(stream, *record)) {
            ok = false;
            break;
        }
        if (isSaveItemTag(record->tag()))
            registerSaveItem(state.maps, *record);
        state.recordList.push_back(std::move(record));
        bar.update(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(count));
    }
    if (ok && !stream.atEnd()) {
        stream.fail("dopo l'ultimo record restano byte in pi\xF9");
        ok = false;
    }
    if (!ok) {
        state.showMessage(stream.error().message(), MessageIcon::Error);
        return false;
    }
    bar.set(100);
    state.progress().setImage(ReadImage, StatusImage::Success);
    return true;
}

// Runs every record through its handler and writes the kept ones, with the record count lowered by the
// dropped ones, to the temporary file in one piece; false when the new save is incomplete.
bool convertSave(JobState& state, std::uint32_t count) {
    BarUpdater bar(state.progress(), ConvertBar);
    std::uint32_t kept = count;
    std::vector<std::uint8_t> output;
    // Room for the save as read and for the links the journal gains, so the output is rarely moved.
    std::size_t readBytes = 0;
    for (const auto& record : state.recordList)
        readBytes += 16 + std::size_t{record->size()};
    output.reserve(readBytes + readBytes / 8);
    std::uint32_t j = 0;
    for (auto& record : state.recordList) {
        auto handler = state.saveHandlerMap.find(std::string(record->tag().str()));
        if (handler != state.saveHandlerMap.end() && !handler->second(*record, state))
            --kept;
        else
            serializeRecord(*record, output);
        bar.update(j++, count);
    }
    bar.set(100);
    state.progress().setImage(ConvertImage, StatusImage::Success);
    state.log.close();
    state.saveFile.reset();
    // The header record keeps its size and its HEDR, so the count stays at its offset.
    if (kept != count && output.size() >= RecordCountOffset + 4)
        storeU32(output.data() + RecordCountOffset, kept);
    bool written = state.tempFile->write(output.data(), output.size()) == output.size();
    written = state.tempFile->close() && written;
    state.tempFile.reset();
    if (!written)
        state.showMessage(CannotWriteTemp, MessageIcon::Error);
    return written;
}

bool replaceSave(JobState& state) {
    FileSystem& files = state.files();
    if (!files.copyFile(state.savePath, state.backupPath, true)) {
        // A copy that broke off can leave part of the save as its backup, which a restore would then put in
        // place of the save.
        files.deleteFile(state.backupPath);
        state.showMessage(CannotBackUp, MessageIcon::Warning);
        return false;
    }
    // The new save moves into place whole, so a failure can never leave it half written.
    if (!files.replaceFile(state.tempPath, state.savePath)) {
        state.showMessage(CannotOverwrite, MessageIcon::Warning);
        return false;
    }
    return true;
}

} // namespace

void JobState::showMessage(const std::string& text, MessageIcon icon) const {
    job.messages->show(Message{text, ErrorCaption, icon, MessageButtons::Ok, job.ownerWindow});
}

void releaseJobData(JobState& state) {
    TranslationMaps& maps = state.maps;
    NameMaps& names = state.names;
    std::uint32_t total =
        static_cast<std::uint32_t>(maps.recordCount() + state.recordList.size() + names.questNameMap.size());
    BarUpdater bar(state.progress(), FinalBar);
    names.englishTopicLinks.clear();
    names.italianTopicLinks.clear();
    std::uint32_t released = 0;
    for (TranslationMap* map :
         {&maps.journalEntryMap, &maps.journalTopicMap, &maps.gmstMap, &maps.npcNameMap, &maps.itemNameMap}) {
        for (auto& entry : *map) {
            entry.second.reset();
            bar.update(++released, total);
        }
        map->clear();
    }
    for (auto& record : state.recordList) {
        record.reset();
        bar.update(++released, total);
    }
    state.recordList.clear();
    names.topicNameMap.clear();
    names.monthNameMap.clear();
    names.questNameMap.clear();
    bar.set(100);
    state.progress().setImage(FinalImage, StatusImage::Success);
}

PatchResult runPatchJob(const PatchJob& job) {
    JobState state(job);
    FileSystem& files = state.files();
    const std::string& installPath = job.installation->installPath;
    const std::string& saveFileName = job.request.saveFileName;
    state.savePath = installPath + SavesFolder + saveFileName;
    state.tempPath = state.savePath + ".tmp";
    state.logPath = state.savePath + ".log";
    state.backupPath = installPath + BackupFolder + saveFileName + ".bak";

    bool success = true;
    bool tempCreated = false;
    bool saveReplaced = false;
    state.saveFile = files.open(state.savePath, "rb");
    if (!state.saveFile) {
        state.showMessage(CannotOpenSave, MessageIcon::Error);
        success = false;
    } else if (!state.log.open(files, state.logPath)) {
        state.showMessage(CannotOpenLog, MessageIcon::Error);
        success = false;
    }
    if (state.log.isOpen())
        state.log.writeFirstLine(saveFileName);
    if (success) {
        state.tempFile = files.open(state.tempPath, "wb");
        tempCreated = state.tempFile != nullptr;
        if (!tempCreated) {
            state.showMessage(CannotWriteTemp, MessageIcon::Error);
            success = false;
        }
    }

    std::int32_t count = 0;
    success = success && buildTranslationData(state);
    success = success && readSave(state, count);
    success = success && convertSave(state, static_cast<std::uint32_t>(count));
    if (success) {
        success = replaceSave(state);
        saveReplaced = success;
    }

    // Whatever happened, no temporary file stays beside the save.
    state.saveFile.reset();
    state.tempFile.reset();
    state.log.close();
    if (tempCreated && !saveReplaced)
        files.deleteFile(state.tempPath);

    releaseJobData(state);

    PatchResult result;
    result.logPath = state.logPath;
    result.logKept = files.exists(state.logPath);
    if (success && state.untranslatedJournalCount == 0) {
        result.outcomeText = Succeeded;
        // A log that cannot be deleted is still beside the save; the conversion has succeeded all the same.
        if (result.logKept && files.deleteFile(state.logPath))
            result.logKept = false;
    } else if (success) {
        result.outcomeText = SucceededWithUntranslated;
        result.logOffered = true;
        state.progress().showButton(ViewLogButton);
        state.progress().enableButton(ViewLogButton);
    } else {
        result.outcomeText = Failed;
    }
    state.progress().setText(StatusText, result.outcomeText);
    result.exitCode = success ? 0 : 1;
    state.progress().enableButton(OkButton);
    return result;
}

} // namespace orvella
