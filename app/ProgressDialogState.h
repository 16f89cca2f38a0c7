#pragma once

#include <cstdint>
#include <optional>

namespace orvella {

enum class ProgressAction {
    Ignore,     // the command changes nothing
    OpenReport, // open the report dialog over the progress dialog
    Close,      // release the images and the worker's handle, then end the dialog with result()
};

// The progress dialog's way out: "OK" closes it only once the worker has ended, with the worker's exit
// code as its result; "Visualizza LOG" opens the report; every other command, Escape included, is ignored
// so that the dialog cannot be left while the worker uses the job's data.
class ProgressDialogState {
public:
    // workerExitCode is the worker's exit code once its thread has ended, nothing while it still runs.
    ProgressAction onCommand(int commandId, std::optional<std::uint32_t> workerExitCode);

    bool closed() const { return closed_; }
    // The dialog's result once it is closed.
    int result() const { return result_; }

private:
    bool closed_ = false;
    int result_ = 0;
};

} // namespace orvella
