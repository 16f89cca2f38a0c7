// The worker and the user-interface thread, which handles each control update while the worker waits (as
// SendMessage does), presses "OK" and opens the report whenever it may. The tsan preset builds this.

#include "DemoJob.h"
#include "app/ProgressDialogState.h"
#include "app/ReportContent.h"
#include "app/resource.h"

#include <condition_variable>
#include <deque>
#include <future>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace orvella {
namespace {

// What the user saw of one conversion: the dialog's result, the control updates and the message boxes.
using Seen = std::tuple<int, std::vector<std::string>, std::size_t>;

struct WorkerThread : testing::Test, test::JobHarness {
    // The user-interface thread's message queue.
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::packaged_task<void()>> queue;
    std::optional<std::string> report;

    // From the worker: the call runs on the user-interface thread, and send returns once it has run.
    void send(std::function<void()> call) {
        std::packaged_task<void()> task(std::move(call));
        std::future<void> done = task.get_future();
        std::unique_lock lock(mutex);
        queue.push_back(std::move(task));
        changed.notify_one();
        lock.unlock();
        done.wait();
    }

    // On a worker under the progress dialog until "OK" closes it, or here, the exit code as the result.
    Seen convert(const std::string& saveName, ConversionDirection direction, bool onWorker) {
        test::RecordingProgress controls;  // reached, on a worker, through the user-interface thread alone
        test::RecordingMessageBoxes boxes; // the worker's own boxes, which have no owner window
        PatchJob job = test::jobFor(installation, files, boxes, controls, saveName, direction);
        if (!onWorker)
            return {static_cast<int>(runPatchJob(job).exitCode), controls.calls, boxes.shown.size()};
        controls.through = [&](const std::function<void()>& call) { send(call); };
        std::optional<std::uint32_t> exitCode;
        std::thread worker([&] {
            const std::uint32_t code = runPatchJob(job).exitCode;
            send([&exitCode, code] { exitCode = code; });
        });
        ProgressDialogState dialog;
        report.reset();
        for (bool closed = false; !closed;) {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return !queue.empty(); });
            std::packaged_task<void()> call = std::move(queue.front());
            queue.pop_front();
            lock.unlock();
            call();
            if (controls.result && controls.result->logOffered && !report &&
                dialog.onCommand(IDC_VIEW_LOG, exitCode) == ProgressAction::OpenReport)
                report = loadReportContent(files, controls.result->logPath).body;
            closed = controls.result && dialog.onCommand(IDOK, exitCode) == ProgressAction::Close;
        }
        worker.join();
        // A closed dialog takes no more commands.
        EXPECT_EQ(dialog.onCommand(IDOK, exitCode), ProgressAction::Ignore);
        return {dialog.result(), controls.calls, boxes.shown.size()};
    }
};

// Both ways, and a failing job, show what they show without a thread; only a log on offer opens the report.
TEST_F(WorkerThread, ConversionsShowWhatTheyShowWithoutAThread) {
    files.writeFile(save("English.ess"), demo::demoEnglishSave());
    files.writeFile(save("Italian.ess"), demo::demoItalianSave());
    const std::tuple<const char*, ConversionDirection, int> jobs[] = {{"English.ess", EnglishToItalian, 0},
                                                                      {"Italian.ess", ItalianToEnglish, 0},
                                                                      {"Missing.ess", EnglishToItalian, 1}};
    for (const auto& [name, direction, exitCode] : jobs) {
        const test::FaultInjectingFileSystem::Snapshot before = files.snapshot();
        const Seen direct = convert(name, direction, false);
        const test::FaultInjectingFileSystem::Snapshot after = files.snapshot();
        files.restore(before);
        EXPECT_EQ(convert(name, direction, true), direct) << name;
        EXPECT_EQ(std::make_tuple(std::get<0>(direct), files.matches(after), files.openHandles()),
                  std::make_tuple(exitCode, true, std::size_t{0}))
            << name;
        EXPECT_EQ(report && report->find("Uno straniero in un mantello grigio") != std::string::npos,
                  direction == ItalianToEnglish);
    }
}

} // namespace
} // namespace orvella
