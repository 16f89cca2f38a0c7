// Every file call of a conversion and of a restore fails once, each in its turn, until no call is left to
// fail. Whatever failed, the save is the original or the complete conversion, the backup is the older one or
// the original, the user is told what happened, nothing temporary stays and the next job is unaffected.

#include "DemoJob.h"
#include "RecordingUi.h"
#include "app/RestoreFromBackup.h"
#include "app/SaveClassification.h"
#include "gamebuilder/GameBuilder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <tuple>

namespace orvella {
namespace {

using test::AllFileCalls;
using test::FaultInjectingFileSystem;
using test::FileCall;

constexpr const char* OlderBackup = "the backup an earlier conversion made";

// What one run left behind and told the user; the files only for the clean run.
struct JobRun {
    PatchResult result;
    std::vector<std::string> messages;
    std::vector<std::string> calls;
    FaultInjectingFileSystem::Snapshot files;
};

class FaultInjection : public testing::Test {
protected:
    FaultInjectingFileSystem files;
    GameInstallation installation;
    FaultInjectingFileSystem::Snapshot initial;
    std::string name, original, save, backup, log;
    // The demo game's SaveInfo describes its own saves, which the job then reads again once it holds them.
    bool classifyAgain = true;

    void prepare(const std::string& saveFileName, const std::string& saveBytes,
                 const std::string& backupBytes = OlderBackup) {
        installation = test::installDemoGame(files);
        name = saveFileName;
        original = saveBytes;
        save = test::savePath(installation, name);
        backup = test::backupPath(installation, name);
        log = save + ".log";
        ASSERT_TRUE(files.writeFile(save, original) && files.writeFile(backup, backupBytes));
        initial = files.snapshot();
    }

    JobRun convert(ConversionDirection direction) {
        test::RecordingMessageBoxes messages;
        test::RecordingProgress progress;
        PatchJob job = test::jobFor(installation, files, messages, progress, name, direction);
        job.request.classifyAgain = classifyAgain ? classifySave : nullptr;
        JobRun run{runPatchJob(job), {}, progress.calls, {}};
        for (const Message& message : messages.shown)
            run.messages.push_back(message.text);
        return run;
    }

    // Nothing but the save's own files changed; a temporary file stays only when its deletion failed.
    void expectOnlyKnownFiles(const std::string& what) {
        FaultInjectingFileSystem::Snapshot now = files.snapshot(), before = initial;
        for (const std::string& path : {save, backup, log, save + ".tmp", backup + ".tmp", log + ".tmp"})
            if (!path.ends_with(".tmp") || path == files.failedPath()) {
                now.erase(FaultInjectingFileSystem::key(path));
                before.erase(FaultInjectingFileSystem::key(path));
            }
        EXPECT_TRUE(now == before) << what << ": a file that is not the save's changed or stayed";
    }

    void expectSameRun(const JobRun& run, const JobRun& reference, const std::string& what) {
        EXPECT_EQ(std::tie(run.result.exitCode, run.result.outcomeText, run.result.logKept,
                           run.result.logOffered, run.messages, run.calls),
                  std::tie(reference.result.exitCode, reference.result.outcomeText, reference.result.logKept,
                           reference.result.logOffered, reference.messages, reference.calls))
            << what;
        EXPECT_TRUE(files.matches(reference.files)) << what << ": the files differ from the reference run";
    }

    // The rules every run obeys, whatever call failed in it.
    void expectConsistent(const JobRun& run, const JobRun& reference, const std::string& converted,
                          const std::string& what) {
        EXPECT_EQ(files.openHandles(), 0u) << what;
        const std::optional<std::string> now = files.readFile(save), kept = files.readFile(backup);
        ASSERT_TRUE(now && (*now == original || *now == converted)) << what << ": the save is lost or mixed";
        ASSERT_TRUE(kept && (*kept == original || *kept == OlderBackup)) << what << ": the backup is lost";
        const bool isConverted = *now == converted;
        const PatchResult& result = run.result;
        EXPECT_EQ(result.exitCode == 0, isConverted) << what;
        EXPECT_EQ(run.calls.back(), "finished") << what;
        EXPECT_EQ(result.logKept, files.isFile(log)) << what;
        if (isConverted) {
            EXPECT_TRUE(*kept == original) << what << ": converted without a backup";
            EXPECT_EQ(std::tie(result.outcomeText, result.logOffered),
                      std::tie(reference.result.outcomeText, reference.result.logOffered))
                << what;
            EXPECT_EQ(run.messages, std::vector<std::string>()) << what;
            EXPECT_TRUE(reference.result.logKept || files.failedPath() == log || !files.isFile(log))
                << what << ": the log of a clean conversion stayed";
        } else {
            EXPECT_EQ(result.outcomeText, "Patch non effettuata con successo") << what;
            EXPECT_FALSE(result.logOffered) << what;
            EXPECT_LE(run.messages.size(), 1u) << what;
            // Only a master or plugin that cannot be opened fails without a message, by its image.
            const auto scanFailures = std::count(run.calls.begin(), run.calls.end(), "image masters fail") +
                                      std::count(run.calls.begin(), run.calls.end(), "image plugins fail");
            EXPECT_TRUE(!run.messages.empty() || scanFailures == 1) << what << ": failed without telling why";
        }
        expectOnlyKnownFiles(what);
    }

    FileCall call{}; // the kind of the call that fails

    // Runs once with each call of each kind failing in turn, until no call of the kind is left, and cleanly
    // after each failure.
    template <class Run, class Faulty, class Clean> void everyFault(Run run, Faulty faulty, Clean clean) {
        for (FileCall kind : AllFileCalls)
            for (std::uint32_t n = 1; !HasFailure(); ++n) {
                call = kind;
                files.restore(initial);
                files.failCall(call, n);
                const auto result = run();
                const std::string failure = "call " + std::to_string(n) + " of kind " +
                                            std::to_string(int(call)) + " (" + files.failedPath() + ")";
                if (!files.fired()) {
                    clean(result, failure + ": no call left");
                    break;
                }
                faulty(result, failure);
                files.restore(initial);
                files.countOnly();
                clean(run(), "the run after " + failure);
            }
    }

    void everyFaultOf(ConversionDirection direction) {
        files.restore(initial);
        files.countOnly();
        JobRun reference = convert(direction);
        reference.files = files.snapshot();
        ASSERT_EQ(reference.result.exitCode, 0u) << testing::PrintToString(reference.messages);
        const std::string converted = *files.readFile(save);
        ASSERT_NE(converted, original) << "the conversion changes nothing, so the test could not tell";
        for (FileCall kind : AllFileCalls)
            EXPECT_GT(files.calls(kind), 0u) << "a conversion makes no call of kind " << int(kind);

        std::set<FileCall> logCalls; // the kinds of the log's calls that failed
        everyFault([&] { return convert(direction); },
                   [&](const JobRun& run, const std::string& what) {
                       expectConsistent(run, reference, converted, what);
                       if (files.failedPath() == log + ".tmp")
                           logCalls.insert(call);
                   },
                   [&](const JobRun& run, const std::string& what) { expectSameRun(run, reference, what); });
        // The log is created anew and, when kept, written, synced and moved like the save and its backup.
        std::set<FileCall> expectedLogCalls = {FileCall::Create, FileCall::Close, FileCall::Delete};
        if (reference.result.logKept)
            expectedLogCalls.insert({FileCall::Write, FileCall::Flush, FileCall::Replace});
        EXPECT_TRUE(HasFailure() || logCalls == expectedLogCalls) << "the log's calls were not all tried";
    }
};

TEST_F(FaultInjection, EveryFailedCallOfTheSyntheticSavesOneWayAndTheOther) {
    prepare("English.ess", demo::demoEnglishSave());
    everyFaultOf(EnglishToItalian);
    prepare("Italian.ess", demo::demoItalianSave());
    everyFaultOf(ItalianToEnglish);
    EXPECT_TRUE(files.isFile(log)) << "the clean conversion keeps no log, so the log's faults were not tried";
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
    const std::string italian = *files.readFile(save);
    files.restore(initial);
    prepare(name, italian);
    everyFaultOf(ItalianToEnglish);
}

// The restore: the save is the conversion or the backup, the backup stays until the save is the backup, and
// the outcome and the message after the question say which.
TEST_F(FaultInjection, EveryFailedCallOfARestore) {
    const std::string backupBytes = demo::demoEnglishSave(), converted = demo::demoItalianSave();
    prepare("Restored.ess", converted, backupBytes);
    std::vector<Message> shown;
    auto restore = [&] {
        test::RecordingMessageBoxes messages;
        RestoreOutcome outcome = restoreFromBackup(installation, name, files, messages, nullptr);
        shown = messages.shown;
        return outcome;
    };
    files.countOnly();
    ASSERT_EQ(restore(), RestoreOutcome::Restored);
    const FaultInjectingFileSystem::Snapshot reference = files.snapshot();
    ASSERT_TRUE(files.readFile(save) == backupBytes && !files.isFile(backup));

    everyFault(
        restore,
        [&](RestoreOutcome outcome, const std::string& what) {
            EXPECT_EQ(files.openHandles(), 0u) << what;
            const std::optional<std::string> now = files.readFile(save), kept = files.readFile(backup);
            ASSERT_TRUE(now && (*now == backupBytes || *now == converted)) << what;
            const bool backupKept = kept == backupBytes;
            EXPECT_TRUE(!kept || backupKept) << what << ": the backup changed";
            ASSERT_FALSE(shown.empty()) << what;
            const std::string error = shown.size() == 2 ? shown[1].text : shown.size() == 1 ? "" : "several";
            // The save restored, the backup still there and the error, "-" for none, of each outcome.
            const std::tuple<bool, bool, std::string> expected[] = {
                {true, false, "-"}, {true, true, "cancellare"}, {false, true, "sostituire"}};
            ASSERT_NE(outcome, RestoreOutcome::Declined) << what << ": declined without being asked";
            const auto& [restored, stays, fragment] = expected[outcome == RestoreOutcome::Restored     ? 0
                                                               : outcome == RestoreOutcome::BackupKept ? 1
                                                                                                       : 2];
            EXPECT_EQ(std::tie(restored, stays), std::make_tuple(*now == backupBytes, backupKept)) << what;
            EXPECT_TRUE(fragment == "-" ? error.empty() : error.find(fragment) != std::string::npos)
                << what << ": " << error;
            expectOnlyKnownFiles(what);
        },
        [&](RestoreOutcome outcome, const std::string& what) {
            EXPECT_EQ(outcome, RestoreOutcome::Restored) << what;
            EXPECT_TRUE(files.matches(reference)) << what;
        });
}

} // namespace
} // namespace orvella
