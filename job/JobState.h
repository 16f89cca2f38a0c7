#pragma once

#include "job/PatchJob.h"
#include "job/PatchLog.h"
#include "records/Record.h"
#include "scan/MasterScan.h"
#include "scan/TranslationMap.h"
#include "translate/BuiltInTables.h"
#include "translate/NameMaps.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvella {

// Everything one conversion owns, from its open files to its translation data; a new job starts empty.
struct JobState {
    explicit JobState(const PatchJob& patchJob) : job(patchJob) {}
    JobState(const JobState&) = delete;
    JobState& operator=(const JobState&) = delete;

    const PatchJob& job;
    const GameInstallation& installation() const { return *job.installation; }
    ConversionDirection direction() const { return job.saveInfo.direction; }
    FileSystem& files() const { return *job.files; }
    const TopicTables& tables() const { return job.tables ? *job.tables : builtInTables(); }
    ProgressView& progress() const { return *job.progressDialog; }
    void showMessage(const std::string& text, MessageIcon icon) const;

    std::string savePath;     // the save as listed in "Saves"
    std::string realSavePath; // the file it is, a link's target when the save is a link
    std::string tempPath;     // beside the real save
    std::string logPath;
    std::string logTempPath;
    std::string backupPath;
    std::string backupTempPath;

    std::unique_ptr<FileLock> saveLock; // held from the start of the job to its end
    std::unique_ptr<File> saveFile;
    std::unique_ptr<File> tempFile;
    PatchLog log;

    TranslationMaps maps;
    NameMaps names;
    std::vector<std::unique_ptr<Record>> recordList;
};

// Empties every map, list and record of the job, driving the finalisation bar.
void releaseJobData(JobState& state);

} // namespace orvella
