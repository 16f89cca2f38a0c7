// Every file call of a conversion and of a restore fails in its turn: the save and the backup stay whole, the
// user is told, nothing temporary stays and the next job is unaffected.

#include "DemoJob.h"
#include "RecordViews.h"
#include "app/RestoreFromBackup.h"
#include "app/SaveClassification.h"
#include "gamebuilder/OpenMwSaveBuilder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <tuple>

namespace orvella {
namespace {

using test::FaultInjectingFileSystem;
using test::FileCall;

constexpr const char* OlderBackup = "the backup an earlier conversion made";

// What one run told the user: its result, how many messages and the progress view's calls.
struct JobRun {
    PatchResult result;
    std::size_t messages;
    std::vector<std::string> calls;
    auto fields() const {
        return std::tie(result.exitCode, result.outcomeText, result.logKept, result.logOffered, messages,
                        calls);
    }
};

class FaultInjection : public testing::Test, protected test::JobHarness {
protected:
    // The expansions' plugins are installed too, but the demo's saves use neither expansion: none is read.
    FaultInjection() {
        std::ranges::for_each(installation.games, [](auto& game) { game.hasPlugin = true; });
        // Another job may take the save once this one tells it has finished: nothing may be open by then.
        progress.through = [this](const std::function<void()>& add) {
            add();
            handlesAtFinish = files.openHandles();
        };
    }
    std::size_t handlesAtFinish = 0;
    FaultInjectingFileSystem::Snapshot initial;
    std::string name, original, save, backup, log;
    JobRun reference; // the clean conversion
    std::optional<std::string> referenceLog;

    void prepare(const std::string& saveFileName, const std::string& saveBytes,
                 const std::string& backupBytes = OlderBackup) {
        name = saveFileName;
        original = saveBytes;
        save = SavePaths(installation, name).save;
        backup = SavePaths(installation, name).backup;
        log = SavePaths(installation, name).log;
        ASSERT_TRUE(files.writeFile(save, original) && files.writeFile(backup, backupBytes));
        initial = files.snapshot();
    }

    // The demo game's SaveInfo describes its own saves, which the job then reads again once it holds them.
    JobRun convert(ConversionDirection direction) {
        classifyAgain = classifySave;
        return {JobHarness::run(name, direction), messages.shown.size(), progress.calls};
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

    // The rules every run obeys, whatever call failed in it.
    void expectConsistent(const JobRun& run, const std::string& converted, const std::string& what) {
        EXPECT_EQ(handlesAtFinish, 0u) << what << ": a file still open when the job finished";
        const std::optional<std::string> now = files.readFile(save), kept = files.readFile(backup);
        ASSERT_TRUE(now && (*now == original || *now == converted)) << what << ": the save is lost or mixed";
        ASSERT_TRUE(kept && (*kept == original || *kept == OlderBackup)) << what << ": the backup is lost";
        const PatchResult& result = run.result;
        EXPECT_EQ(std::make_tuple(result.exitCode == 0, result.logKept, run.calls.back()),
                  std::make_tuple(*now == converted, files.isFile(log), std::string("finished")))
            << what;
        if (*now == converted) {
            // A backup, no message, and the log of a clean conversion gone unless its deletion failed.
            EXPECT_EQ(std::make_tuple(*kept == original, result.outcomeText, result.logOffered, run.messages),
                      std::make_tuple(true, reference.result.outcomeText, reference.result.logOffered, 0u))
                << what;
            EXPECT_TRUE((reference.result.logKept || files.failedPath() == log || !files.isFile(log)) &&
                        (!result.logKept || files.readFile(log) == referenceLog))
                << what << ": the log of a clean conversion stayed, or a log was kept half";
        } else {
            EXPECT_EQ(std::tie(result.outcomeText, result.logOffered),
                      std::make_tuple(std::string("Patch non effettuata con successo"), false))
                << what;
            // Only a master or plugin that cannot be opened fails without a message, on its own pass's image.
            const std::string& path = files.failedPath();
            const bool scanned = path.ends_with(".esm") || path.ends_with(".esp");
            const auto images =
                std::count(run.calls.begin(), run.calls.end(),
                           path.ends_with(".esm") ? "image masters fail" : "image plugins fail");
            EXPECT_TRUE(images == (scanned ? 1 : 0) && (run.messages == 1 || (run.messages == 0 && scanned)))
                << what << ": failed without telling why, or not on its pass's image";
        }
        expectOnlyKnownFiles(what);
    }

    // Fails each call of each kind in turn until none is left, running cleanly after each failure.
    template <class Run, class Faulty, class Clean> void everyFault(Run run, Faulty faulty, Clean clean) {
        for (auto call = FileCall::Open; call < FileCall::Folder; call = FileCall(int(call) + 1))
            for (std::uint32_t n = 1; !HasFailure(); ++n) {
                files.restore(initial);
                files.failCall(call, n);
                const auto result = run();
                const std::string failure = "call " + std::to_string(n) + " of kind " +
                                            std::to_string(int(call)) + " (" + files.failedPath() + ")";
                if (files.failedPath().empty()) {
                    clean(result, failure + ": no call left");
                    break;
                }
                faulty(result, failure);
                files.restore(initial);
                files.countOnly();
                clean(run(), "the run after " + failure);
            }
    }

    // Gives what the clean conversion made, which the files hold afterwards as they held it.
    std::string everyFaultOf(ConversionDirection direction) {
        files.restore(initial);
        files.countOnly();
        reference = convert(direction);
        const FaultInjectingFileSystem::Snapshot after = files.snapshot();
        referenceLog = files.readFile(log);
        EXPECT_TRUE(reference.result.exitCode == 0 && reference.messages == 0 &&
                    files.readFile(backup) == original);
        for (const char* stage : {"reading", "converting", "journal", "finalising"})
            EXPECT_TRUE(progress.saw("bar " + std::string(stage) + " 100") &&
                        progress.saw("image " + std::string(stage) + " ok"))
                << stage;
        for (const std::string& call : reference.calls)
            EXPECT_FALSE(call.starts_with("bar ") && std::stoi(call.substr(call.rfind(' '))) > 100) << call;
        const std::string converted = files.readFile(save).value_or("");
        EXPECT_NE(converted, original) << "the conversion changes nothing, so the test could not tell";
        everyFault(
            [&] { return convert(direction); },
            [&](const JobRun& run, const std::string& what) { expectConsistent(run, converted, what); },
            [&](const JobRun& run, const std::string& what) {
                EXPECT_TRUE(run.fields() == reference.fields() && files.matches(after)) << what;
            });
        return converted;
    }
};

// The demo saves both ways, and back to English the Italian conversion, which loses the deleted topic; a
// journal paragraph that no entry tells of keeps and offers the log.
TEST_F(FaultInjection, EveryFailedCallOfTheDemoSavesBothWaysAndBack) {
    const std::string english = demo::demoEnglishSave();
    prepare("English.ess", english);
    const std::string italian = everyFaultOf(EnglishToItalian);
    EXPECT_TRUE(reference.result.outcomeText == "Patch effettuata con successo" &&
                !reference.result.logKept && italian.find("Vecchia Guida") != std::string::npos);
    // The rumours' topic, which only the game's files translate, is Italian as a topic and as a known one.
    for (const char* tag : {"NAME", "DNAM"})
        EXPECT_NE(italian.find(tag + build::u32(13) + build::z("dicerie demo")), std::string::npos) << tag;
    // The journal is the Italian save's, up to the day that no entry tells of.
    const std::string journal(test::takeRecord(demo::demoItalianSave(), "JOUR")->findText("NAME").value());
    EXPECT_EQ(test::takeRecord(italian, "JOUR")->findText("NAME"),
              journal.substr(0, journal.find("<FONT COLOR=\"9F0000\">19")));
    std::string expected;
    for (const auto& record : test::readRecords(english))
        if (record->findText("NAME") != "forgotten rumour")
            expected += test::bytesOf(*record);
    expected.replace(320, 4, build::u32(static_cast<std::uint32_t>(test::readRecords(english).size() - 2)));
    prepare("Back.ess", italian);
    EXPECT_EQ(everyFaultOf(ItalianToEnglish), expected);

    prepare("Italian.ess", demo::demoItalianSave());
    everyFaultOf(ItalianToEnglish);
    EXPECT_EQ(
        std::tie(reference.result.outcomeText, reference.result.logOffered),
        std::make_tuple(std::string("Patch effettuata con successo, ma con delle frasi non tradotte"), true));
    EXPECT_TRUE(files.readFile(log).value_or("").ends_with(
        "dimenticata\r\n\r\n- FRASI DEL JOURNAL NON TRADOTTE -\r\n\r\n"
        "--- Uno straniero in un mantello grigio mi osservava dal fondo del porto.\r\n\r\n"));
}

// An OpenMW save to the other edition and back, its backup and log in a folder for its character.
TEST_F(FaultInjection, EveryFailedCallOfAnOpenMwSaveBothWays) {
    demo::writeDemoOpenMwGame(files, test::InMemoryGame);
    installation = demo::demoOpenMwInstallation(files, test::InMemoryGame);
    formatVersion = build::OpenMw049Format;
    makeFolders(files, SavePaths(installation, "Nerevar/English.omwsave").backupFolder);
    prepare("Nerevar/English.omwsave", demo::demoOpenMwSave(true, formatVersion));
    EXPECT_EQ(everyFaultOf(EnglishToItalian), demo::demoOpenMwSave(false, formatVersion));
    prepare("Nerevar/Italian.omwsave", demo::demoOpenMwSave(false, formatVersion));
    EXPECT_EQ(everyFaultOf(ItalianToEnglish), demo::demoOpenMwSave(true, formatVersion));
    EXPECT_TRUE(log.ends_with("LRK Saves Backup\\Nerevar\\Italian.log") && reference.result.logKept);
}

// A restore leaves the conversion or the backup as the save, and its outcome and message say which.
TEST_F(FaultInjection, EveryFailedCallOfARestore) {
    const std::string backupBytes = demo::demoEnglishSave(), converted = demo::demoItalianSave();
    prepare("Restored.ess", converted, backupBytes);
    auto restore = [&] {
        messages = test::RecordingMessageBoxes();
        return restoreFromBackup(installation, name, files, messages, nullptr);
    };
    // The save restored, the backup still there and the error after the question of each outcome.
    const std::map<RestoreOutcome, std::tuple<bool, bool, std::string>> outcomes = {
        {RestoreOutcome::Restored, {true, false, ""}},
        {RestoreOutcome::BackupKept, {true, true, "cancellare"}},
        {RestoreOutcome::NotRestored, {false, true, "sostituire"}}};
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
            EXPECT_TRUE(!kept || kept == backupBytes) << what << ": the backup changed";
            ASSERT_TRUE(outcomes.count(outcome)) << what << ": declined without being asked";
            const auto& [restored, stays, fragment] = outcomes.at(outcome);
            EXPECT_EQ(std::tie(restored, stays), std::make_tuple(*now == backupBytes, kept.has_value()))
                << what;
            ASSERT_EQ(messages.shown.size(), fragment.empty() ? 1u : 2u) << what;
            EXPECT_NE(messages.shown.back().text.find(fragment), std::string::npos) << what;
            expectOnlyKnownFiles(what);
        },
        [&](RestoreOutcome outcome, const std::string& what) {
            EXPECT_TRUE(outcome == RestoreOutcome::Restored && files.matches(reference)) << what;
        });
}

} // namespace
} // namespace orvella
