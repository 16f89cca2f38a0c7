// The worker thread and the user-interface thread as the program runs them: the worker's control updates
// are handled one at a time by the user-interface thread while the worker waits, as SendMessage does; the
// user-interface thread presses "OK" whenever it is enabled, opens the report as soon as it is offered, and
// leaves only when the progress dialog's rule lets it. Built with ThreadSanitizer by the tsan preset.

#include "DemoJob.h"
#include "RecordingUi.h"
#include "app/ProgressDialogState.h"
#include "app/ReportContent.h"
#include "app/resource.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <thread>

namespace orvella {
namespace {

using test::FaultInjectingFileSystem;
using test::RecordingMessageBoxes;
using test::RecordingProgress;

// The user-interface thread's message queue.
class MessageQueue {
public:
    // From the worker: the call runs on the user-interface thread; with a flag to set, send returns once it
    // has run, else at once.
    void send(std::function<void()> call, bool wait = true) {
        std::unique_lock lock(mutex_);
        bool done = !wait;
        queue_.emplace_back(std::move(call), wait ? &done : nullptr);
        changed_.notify_all();
        changed_.wait(lock, [&] { return done; });
    }
    // On the user-interface thread: runs the calls as they come until finished says so, which, like a dialog
    // procedure, runs while the worker goes on.
    void run(const std::function<bool()>& finished) {
        while (!finished()) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return !queue_.empty(); });
            auto [call, done] = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            call();
            lock.lock();
            if (done)
                *done = true;
            changed_.notify_all();
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<std::function<void()>, bool*>> queue_;
};

// What the user saw of one conversion.
struct Seen {
    int dialogResult = -1;
    std::vector<std::string> calls;
    std::size_t messages = 0;
    std::optional<ReportContent> report;
};

class WorkerThread : public testing::Test {
protected:
    FaultInjectingFileSystem files;
    GameInstallation installation = test::installDemoGame(files);

    void SetUp() override {
        files.writeFile(test::savePath(installation, "English.ess"), demo::demoEnglishSave());
        files.writeFile(test::savePath(installation, "Italian.ess"), demo::demoItalianSave());
    }

    // With a thread, the progress dialog's life: it starts the worker and handles its messages until "OK"
    // closes it. Without, the same job on this thread, its exit code as the dialog's result.
    Seen convert(const std::string& saveName, ConversionDirection direction, bool onWorker = true) {
        MessageQueue queue;
        RecordingProgress controls; // reached, on a worker, through the user-interface thread alone
        if (onWorker)
            controls.through = [&](const std::function<void()>& call) { queue.send(call); };
        RecordingMessageBoxes messages; // the worker's own boxes, which have no owner window
        PatchJob job = test::jobFor(installation, files, messages, controls, saveName, direction);
        Seen seen;
        if (onWorker) {
            std::optional<std::uint32_t> exitCode;
            std::thread worker([&] {
                const std::uint32_t code = runPatchJob(job).exitCode;
                queue.send([&exitCode, code] { exitCode = code; }, false);
            });
            ProgressDialogState dialog;
            queue.run([&] {
                if (controls.result && controls.result->logOffered && !seen.report &&
                    dialog.onCommand(IDC_VIEW_LOG, exitCode) == ProgressAction::OpenReport)
                    seen.report = loadReportContent(files, controls.result->logPath);
                return controls.result && dialog.onCommand(IDOK, exitCode) == ProgressAction::Close;
            });
            worker.join();
            seen.dialogResult = dialog.result();
        } else {
            seen.dialogResult = static_cast<int>(runPatchJob(job).exitCode);
        }
        seen.calls = controls.calls;
        seen.messages = messages.shown.size();
        return seen;
    }
};

// Both ways, and a job that fails, show on the dialog what they show without a thread; only a log on offer
// opens the report.
TEST_F(WorkerThread, ConversionsShowWhatTheyShowWithoutAThread) {
    const FaultInjectingFileSystem::Snapshot before = files.snapshot();
    const std::pair<const char*, ConversionDirection> jobs[] = {{"English.ess", EnglishToItalian},
                                                                {"Italian.ess", ItalianToEnglish},
                                                                {"Missing.ess", EnglishToItalian}};
    std::vector<Seen> direct;
    for (const auto& [save, direction] : jobs)
        direct.push_back(convert(save, direction, false));
    const FaultInjectingFileSystem::Snapshot after = files.snapshot();
    files.restore(before);
    for (std::size_t i = 0; i < std::size(jobs); ++i) {
        const Seen threaded = convert(jobs[i].first, jobs[i].second);
        EXPECT_EQ(std::tie(threaded.dialogResult, threaded.calls, threaded.messages),
                  std::tie(direct[i].dialogResult, direct[i].calls, direct[i].messages))
            << jobs[i].first;
        EXPECT_EQ(threaded.report.has_value(), i == 1);
        EXPECT_TRUE(!threaded.report ||
                    threaded.report->body.find("Uno straniero in un mantello grigio") != std::string::npos);
    }
    EXPECT_EQ(std::make_pair(direct[2].dialogResult, direct[2].calls.back()),
              std::make_pair(1, std::string("finished")));
    EXPECT_TRUE(files.matches(after) && files.openHandles() == 0);
}

} // namespace
} // namespace orvella
