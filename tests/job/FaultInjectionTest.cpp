// Every file operation of a conversion and of a restore fails once, each in its turn, until no call is left
// to fail: the new save's and the backup's temporary files, their writes, syncs and moves, the lock, the
// restore's reading of the backup. Whatever failed, the save is the original or the complete conversion, the
// backup is the older one, whole, or the original, what the user is told matches what happened, nothing
// temporary stays behind and the next job is unaffected.

#include "DemoJob.h"
#include "RecordingUi.h"
#include "app/RestoreFromBackup.h"
#include "app/SaveClassification.h"
#include "gamebuilder/GameBuilder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>
#include <set>

namespace orvella {
namespace {

using test::AllFileCalls;
using test::FaultInjectingFileSystem;
using test::FileCall;
using test::fileCallName;
using test::RecordingMessageBoxes;
using test::RecordingProgress;

constexpr const char* OlderBackup = "the backup an earlier conversion made";

// What one run left behind and what it told the user.
struct JobRun {
    PatchResult result;
    std::vector<std::string> messages; // their texts
    std::vector<std::string> calls;
    FaultInjectingFileSystem::Snapshot files;
};

// Files are compared whole; a failure names them by length and hash, not by their megabytes.
std::string summary(const std::optional<std::string>& bytes) {
    if (!bytes)
        return "no file";
    return std::to_string(bytes->size()) + " bytes, hash " + std::to_string(std::hash<std::string>()(*bytes));
}

std::string describe(FileCall call, std::uint32_t n, const std::string& path) {
    return std::string(fileCallName(call)) + " call " + std::to_string(n) + " (" + path + ")";
}

class FaultInjection : public testing::Test {
protected:
    FaultInjectingFileSystem files;
    GameInstallation installation;
    FaultInjectingFileSystem::Snapshot initial;
    std::string name;
    std::string original;
    // The demo game's SaveInfo describes its own saves, which the job then reads again once it holds them.
    bool classifyAgain = true;

    void prepare(const std::string& saveFileName, const std::string& saveBytes) {
        installation = test::installDemoGame(files);
        name = saveFileName;
        original = saveBytes;
        ASSERT_TRUE(files.writeFile(test::savePath(installation, name), original));
        ASSERT_TRUE(files.writeFile(backupPath(), OlderBackup));
        initial = files.snapshot();
    }

    std::string savePath() const { return test::savePath(installation, name); }
    std::string tempPath() const { return savePath() + ".tmp"; }
    std::string logPath() const { return savePath() + ".log"; }
    std::string logTempPath() const { return logPath() + ".tmp"; }
    std::string backupPath() const { return test::backupPath(installation, name); }
    std::string backupTempPath() const { return backupPath() + ".tmp"; }

    JobRun convert(ConversionDirection direction) {
        RecordingMessageBoxes messages;
        RecordingProgress progress;
        PatchJob job = test::jobFor(installation, files, messages, progress, name, direction);
        job.request.classifyAgain = classifyAgain ? classifySave : nullptr;
        JobRun run;
        run.result = runPatchJob(job);
        for (const Message& message : messages.shown)
            run.messages.push_back(message.text);
        run.calls = progress.calls;
        return run;
    }

    // The files a run may leave: the game's own, unchanged, and the save's. A temporary file stays only when
    // its own deletion was the call that failed.
    void expectOnlyKnownFiles(const std::string& what) {
        const std::set<std::string> saveFiles = {FaultInjectingFileSystem::key(savePath()),
                                                 FaultInjectingFileSystem::key(backupPath()),
                                                 FaultInjectingFileSystem::key(logPath())};
        for (const std::string& path : files.files()) {
            auto before = initial.find(path);
            if (before != initial.end() && !saveFiles.count(path)) {
                EXPECT_TRUE(files.readFile(path) == before->second) << what << ": " << path << " changed";
                continue;
            }
            const std::string& failed = files.failedPath();
            bool leftAfterFailedDelete =
                path == FaultInjectingFileSystem::key(failed) &&
                (failed == tempPath() || failed == backupTempPath() || failed == logTempPath());
            EXPECT_TRUE(saveFiles.count(path) || leftAfterFailedDelete) << what << ": left " << path;
        }
    }

    void expectSameRun(const JobRun& run, const JobRun& reference, const std::string& what) {
        EXPECT_EQ(run.result.exitCode, reference.result.exitCode) << what;
        EXPECT_EQ(run.result.outcomeText, reference.result.outcomeText) << what;
        EXPECT_EQ(run.result.logKept, reference.result.logKept) << what;
        EXPECT_EQ(run.result.logOffered, reference.result.logOffered) << what;
        EXPECT_EQ(run.messages, reference.messages) << what;
        EXPECT_EQ(run.calls, reference.calls) << what;
        EXPECT_TRUE(files.matches(reference.files)) << what << ": the files differ from the reference run";
    }

    // The rules every run obeys, whatever call failed in it.
    void expectConsistent(const JobRun& run, const JobRun& reference, const std::string& converted,
                          const std::string& what) {
        EXPECT_EQ(files.openHandles(), 0u) << what << ": a file was left open";
        std::optional<std::string> save = files.readFile(savePath());
        ASSERT_TRUE(save) << what << ": the save is gone";
        ASSERT_TRUE(*save == original || *save == converted)
            << what << ": the save is neither the original nor the conversion but " << summary(save);
        const bool isConverted = *save == converted;
        const PatchResult& result = run.result;
        EXPECT_EQ(result.exitCode == 0, isConverted) << what << ": the exit code says otherwise";
        EXPECT_EQ(run.calls.back(), "finished") << what;

        std::optional<std::string> backup = files.readFile(backupPath());
        ASSERT_TRUE(backup) << what << ": the older backup is gone";
        EXPECT_TRUE(*backup == original || *backup == OlderBackup)
            << what << ": the backup is neither the older one nor the original but " << summary(backup);
        const bool logExists = files.isFile(logPath());
        EXPECT_EQ(result.logKept, logExists) << what;

        if (isConverted) {
            EXPECT_TRUE(*backup == original) << what << ": converted without a backup";
            EXPECT_EQ(result.outcomeText, reference.result.outcomeText) << what;
            EXPECT_EQ(result.logOffered, reference.result.logOffered) << what;
            EXPECT_TRUE(run.messages.empty()) << what << ": " << testing::PrintToString(run.messages);
            bool logDeletionFailed = files.failedPath() == logPath();
            if (!reference.result.logKept && !logDeletionFailed) {
                EXPECT_FALSE(logExists) << what << ": the log of a clean conversion stayed";
            }
        } else {
            EXPECT_EQ(result.outcomeText, "Patch non effettuata con successo") << what;
            EXPECT_FALSE(result.logOffered) << what;
            EXPECT_LE(run.messages.size(), 1u) << what << ": " << testing::PrintToString(run.messages);
            if (run.messages.empty()) {
                // Only a master or plugin that cannot be opened fails without a message, by its image.
                bool scanImageFailed =
                    std::count(run.calls.begin(), run.calls.end(), "image masters fail") +
                        std::count(run.calls.begin(), run.calls.end(), "image plugins fail") ==
                    1;
                EXPECT_TRUE(scanImageFailed) << what << ": failed without telling why";
            }
        }
        expectOnlyKnownFiles(what);
    }

    // Converts the save once for every call of every kind, and once cleanly after each.
    void everyFaultOf(ConversionDirection direction) {
        files.restore(initial);
        files.countOnly();
        JobRun reference = convert(direction);
        reference.files = files.snapshot();
        ASSERT_EQ(reference.result.exitCode, 0u) << testing::PrintToString(reference.messages);
        const std::string converted = *files.readFile(savePath());
        ASSERT_TRUE(converted != original) << "the conversion changes nothing, so the test could not tell";
        for (FileCall call : AllFileCalls)
            EXPECT_GT(files.calls(call), 0u) << "a conversion makes no " << fileCallName(call) << " call";

        std::size_t runs = 0;
        std::set<std::string> logCalls; // the log's calls that failed, by kind
        for (FileCall call : AllFileCalls) {
            for (std::uint32_t n = 1;; ++n) {
                files.restore(initial);
                files.failCall(call, n);
                const JobRun run = convert(direction);
                ++runs;
                if (!files.fired()) {
                    expectSameRun(run, reference, std::string("no ") + fileCallName(call) + " call left");
                    break;
                }
                const std::string what = describe(call, n, files.failedPath());
                expectConsistent(run, reference, converted, what);
                if (files.failedPath() == logTempPath())
                    logCalls.insert(fileCallName(call));

                files.restore(initial);
                files.countOnly();
                expectSameRun(convert(direction), reference, "the job after " + what);
                if (HasFailure())
                    return;
            }
        }
        // The log is created anew and, when kept, written, synced and moved like the save and its backup.
        std::set<std::string> expectedLogCalls = {"create", "close", "delete"};
        if (reference.result.logKept)
            expectedLogCalls.insert({"write", "flush", "replace"});
        EXPECT_EQ(logCalls, expectedLogCalls);
        std::cout << "[          ] " << name << ": " << runs << " conversions with one failed call\n";
    }
};

TEST_F(FaultInjection, EveryFailedCallOfAnEnglishSyntheticSave) {
    prepare("English.ess", demo::demoEnglishSave());
    everyFaultOf(EnglishToItalian);
}

TEST_F(FaultInjection, EveryFailedCallOfAnItalianSyntheticSave) {
    prepare("Italian.ess", demo::demoItalianSave());
    everyFaultOf(ItalianToEnglish);
    EXPECT_TRUE(files.readFile(logPath()))
        << "the clean conversion keeps no log, so the log's faults were not tried";
}

TEST_F(FaultInjection, EveryFailedCallOfARealSaveBothWays) {
    const std::string real = build::readBytes(std::string(ORVELLA_REAL_SAVES) + "/HartKack0000.ess");
    ASSERT_FALSE(real.empty());
    classifyAgain = false;
    prepare("HartKack0000.ess", real);
    everyFaultOf(EnglishToItalian);
    if (HasFailure())
        return;
    // Back again from what the clean conversion made.
    files.restore(initial);
    files.countOnly();
    ASSERT_EQ(convert(EnglishToItalian).result.exitCode, 0u);
    std::string italian = *files.readFile(savePath());
    files.restore(initial);
    prepare(name, italian);
    everyFaultOf(ItalianToEnglish);
}

// The restore: the save is the conversion or the backup, the backup stays until the save is the backup, and
// the outcome and the messages say which.
class RestoreFaults : public FaultInjection {
protected:
    const std::string backupBytes = demo::demoEnglishSave();
    const std::string converted = demo::demoItalianSave();

    void SetUp() override {
        prepare("Restored.ess", converted);
        ASSERT_TRUE(files.writeFile(backupPath(), backupBytes));
        initial = files.snapshot();
    }

    RestoreOutcome restore(std::vector<Message>& shown) {
        RecordingMessageBoxes messages;
        RestoreOutcome outcome = restoreFromBackup(installation, name, files, messages, nullptr);
        shown = messages.shown;
        return outcome;
    }
};

TEST_F(RestoreFaults, EveryFailedCallOfARestore) {
    files.countOnly();
    std::vector<Message> shown;
    ASSERT_EQ(restore(shown), RestoreOutcome::Restored);
    const FaultInjectingFileSystem::Snapshot reference = files.snapshot();
    ASSERT_TRUE(files.readFile(savePath()) == backupBytes);
    ASSERT_FALSE(files.isFile(backupPath()));

    for (FileCall call : AllFileCalls) {
        for (std::uint32_t n = 1;; ++n) {
            files.restore(initial);
            files.failCall(call, n);
            RestoreOutcome outcome = restore(shown);
            if (!files.fired()) {
                EXPECT_EQ(outcome, RestoreOutcome::Restored);
                break;
            }
            const std::string what = describe(call, n, files.failedPath());
            EXPECT_EQ(files.openHandles(), 0u) << what;
            std::optional<std::string> save = files.readFile(savePath());
            std::optional<std::string> backup = files.readFile(backupPath());
            ASSERT_TRUE(save) << what;
            const bool isBackup = *save == backupBytes;
            const bool isConverted = *save == converted;
            const bool backupKept = backup && *backup == backupBytes;
            ASSERT_TRUE(isBackup || isConverted) << what << ": the save is " << summary(save);
            EXPECT_TRUE(!backup || backupKept) << what << ": the backup is " << summary(backup);
            // After the question, at most the one message of what went wrong.
            ASSERT_FALSE(shown.empty()) << what;
            const std::string error = shown.size() == 2 ? shown[1].text : shown.size() == 1 ? "" : "several";
            switch (outcome) {
            case RestoreOutcome::Restored:
                EXPECT_TRUE(isBackup && !backup && error.empty()) << what << error;
                break;
            case RestoreOutcome::BackupKept:
                EXPECT_TRUE(isBackup && backupKept) << what;
                EXPECT_NE(error.find("cancellare"), std::string::npos) << what << error;
                break;
            case RestoreOutcome::NotRestored:
                EXPECT_TRUE(isConverted && backupKept)
                    << what << ": a failed restore changed the save or lost the backup";
                EXPECT_NE(error.find("sostituire"), std::string::npos) << what << error;
                break;
            case RestoreOutcome::Declined:
                ADD_FAILURE() << what << ": declined without being asked";
            }
            expectOnlyKnownFiles(what);

            files.restore(initial);
            files.countOnly();
            EXPECT_EQ(restore(shown), RestoreOutcome::Restored) << "the restore after " << what;
            EXPECT_TRUE(files.snapshot() == reference) << "the restore after " << what;
            if (HasFailure())
                return;
        }
    }
}

} // namespace
} // namespace orvella
