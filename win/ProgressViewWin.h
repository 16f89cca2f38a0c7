#pragma once

#include "job/ProgressView.h"

#include <windows.h>

namespace orvella {

// Sent to the progress dialog by the worker when its job has ended; the lParam points to the job's
// PatchResult, valid while the message is handled.
inline constexpr UINT JobFinishedMessage = WM_APP + 1;

// The progress dialog's controls, updated from the worker thread by messages sent to them; the dialog's
// thread handles each one while the worker waits.
class DialogProgressView final : public ProgressView {
public:
    // The dialog keeps the two status bitmaps until the worker has ended.
    DialogProgressView(HWND dialog, HBITMAP successImage, HBITMAP failureImage)
        : dialog_(dialog), successImage_(successImage), failureImage_(failureImage) {}

    void setBarPosition(JobStage stage, int percent) override;
    void setImage(JobStage stage, StatusImage image) override;
    void finished(const PatchResult& result) override;

private:
    HWND dialog_;
    HBITMAP successImage_;
    HBITMAP failureImage_;
};

} // namespace orvella
