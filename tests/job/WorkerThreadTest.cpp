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
    // From the worker: the call runs on the user-interface thread, and send returns once it has run.
    void send(std::function<void()> call) {
        std::unique_lock lock(mutex_);
        bool done = false;
        queue_.push_back(Message{std::move(call), &done});
        changed_.notify_all();
        changed_.wait(lock, [&] { return done; });
    }
    // From the worker: the call runs on the user-interface thread some time later.
    void post(std::function<void()> call) {
        std::lock_guard lock(mutex_);
        queue_.push_back(Message{std::move(call), nullptr});
        changed_.notify_all();
    }
    // On the user-interface thread: runs the calls as they come until finished says so. Like a dialog
    // procedure, finished runs while the worker goes on.
    void run(const std::function<bool()>& finished) {
        while (!finished()) {
            Message message;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return !queue_.empty(); });
                message = std::move(queue_.front());
                queue_.pop_front();
            }
            message.call();
            if (message.done) {
                std::lock_guard lock(mutex_);
                *message.done = true;
                changed_.notify_all();
            }
        }
    }

private:
    struct Message {
        std::function<void()> call;
        bool* done = nullptr;
    };
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Message> queue_;
};

// The progress dialog's controls as the worker reaches them: every update is sent to the user-interface
// thread, which alone touches the controls.
class SentProgress final : public ProgressView {
public:
    SentProgress(MessageQueue& queue, RecordingProgress& controls) : queue_(queue), controls_(controls) {}
    void setBarPosition(JobStage stage, int percent) override {
        queue_.send([=, this] { controls_.setBarPosition(stage, percent); });
    }
    void setImage(JobStage stage, StatusImage image) override {
        queue_.send([=, this] { controls_.setImage(stage, image); });
    }
    void finished(const PatchResult& result) override {
        queue_.send([=, this] { controls_.finished(result); });
    }

private:
    MessageQueue& queue_;
    RecordingProgress& controls_;
};

// What the user saw of one conversion.
struct Seen {
    int dialogResult = -1;
    std::vector<std::string> calls;
    std::vector<Message> messages;
    std::optional<ReportContent> report;
};

class WorkerThread : public testing::Test {
protected:
    FaultInjectingFileSystem files;
    GameInstallation installation;

    void SetUp() override {
        installation = test::installDemoGame(files);
        files.writeFile(test::savePath(installation, "English.ess"), demo::demoEnglishSave());
        files.writeFile(test::savePath(installation, "Italian.ess"), demo::demoItalianSave());
    }

    // The progress dialog's life: it starts the worker and handles its messages until "OK" closes it.
    Seen convertOnWorker(const std::string& saveName, ConversionDirection direction) {
        MessageQueue queue;
        RecordingProgress controls;
        SentProgress progress(queue, controls);
        RecordingMessageBoxes messages; // the worker's own boxes, which have no owner window
        PatchJob job = test::jobFor(installation, files, messages, progress, saveName, direction);

        std::optional<std::uint32_t> exitCode;
        std::thread worker([&] {
            std::uint32_t code = runPatchJob(job).exitCode;
            queue.post([&exitCode, code] { exitCode = code; });
        });
        Seen seen;
        ProgressDialogState dialog;
        queue.run([&] {
            if (controls.result && controls.result->logOffered && !seen.report)
                if (dialog.onCommand(IDC_VIEW_LOG, exitCode) == ProgressAction::OpenReport)
                    seen.report = loadReportContent(files, controls.result->logPath);
            return controls.result && dialog.onCommand(IDOK, exitCode) == ProgressAction::Close;
        });
        worker.join();
        seen.dialogResult = dialog.result();
        seen.calls = controls.calls;
        seen.messages = messages.shown;
        return seen;
    }

    // The same conversion with no thread at all, from the same files.
    Seen convertDirectly(const std::string& saveName, ConversionDirection direction) {
        RecordingProgress controls;
        RecordingMessageBoxes messages;
        PatchJob job = test::jobFor(installation, files, messages, controls, saveName, direction);
        Seen seen;
        seen.dialogResult = static_cast<int>(runPatchJob(job).exitCode);
        seen.calls = controls.calls;
        seen.messages = messages.shown;
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
        direct.push_back(convertDirectly(save, direction));
    const FaultInjectingFileSystem::Snapshot after = files.snapshot();
    files.restore(before);

    for (std::size_t i = 0; i < std::size(jobs); ++i) {
        SCOPED_TRACE(jobs[i].first);
        const Seen threaded = convertOnWorker(jobs[i].first, jobs[i].second);
        EXPECT_EQ(threaded.dialogResult, direct[i].dialogResult);
        EXPECT_EQ(threaded.calls, direct[i].calls);
        EXPECT_EQ(threaded.messages.size(), direct[i].messages.size());
        EXPECT_EQ(threaded.report.has_value(), i == 1);
        if (threaded.report) {
            EXPECT_NE(threaded.report->body.find("Uno straniero in un mantello grigio"), std::string::npos);
        }
    }
    EXPECT_EQ(direct[2].dialogResult, 1);
    EXPECT_EQ(direct[2].calls.back(), "finished");
    EXPECT_TRUE(files.matches(after));
}

TEST_F(WorkerThread, JobsOneAfterAnotherEachOnItsOwnThreadComeBackToTheSameSave) {
    std::optional<std::string> roundTrip;
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(convertOnWorker("English.ess", EnglishToItalian).dialogResult, 0) << round;
        EXPECT_EQ(convertOnWorker("English.ess", ItalianToEnglish).dialogResult, 0) << round;
        std::optional<std::string> save = files.readFile(test::savePath(installation, "English.ess"));
        if (!roundTrip)
            roundTrip = save;
        EXPECT_TRUE(save == roundTrip) << round;
    }
    EXPECT_EQ(files.openHandles(), 0u);
}

} // namespace
} // namespace orvella
