#include "app/ProgressDialogState.h"

#include "app/ProgressControls.h"

namespace orvella {

ProgressAction ProgressDialogState::onCommand(int commandId, std::optional<std::uint32_t> workerExitCode) {
    if (closed_)
        return ProgressAction::Ignore;
    switch (commandId) {
    case OkButton:
        if (!workerExitCode)
            return ProgressAction::Ignore;
        closed_ = true;
        result_ = static_cast<int>(*workerExitCode);
        return ProgressAction::Close;
    case ViewLogButton:
        return ProgressAction::OpenReport;
    default:
        return ProgressAction::Ignore;
    }
}

} // namespace orvella
