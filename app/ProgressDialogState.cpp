#include "app/ProgressDialogState.h"

#include "app/resource.h"

namespace orvella {

ProgressAction ProgressDialogState::onCommand(int commandId, std::optional<std::uint32_t> workerExitCode) {
    if (closed_)
        return ProgressAction::Ignore;
    switch (commandId) {
    case IDOK:
        if (!workerExitCode)
            return ProgressAction::Ignore;
        closed_ = true;
        result_ = static_cast<int>(*workerExitCode);
        return ProgressAction::Close;
    case IDC_VIEW_LOG:
        return ProgressAction::OpenReport;
    default:
        return ProgressAction::Ignore;
    }
}

} // namespace orvella
