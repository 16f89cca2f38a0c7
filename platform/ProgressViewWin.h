#pragma once

#include "platform/ProgressView.h"

#include <windows.h>

namespace orvella {

// The progress dialog's controls, updated from the worker thread by messages sent to them; the dialog's
// thread handles each one while the worker waits.
class DialogProgressView final : public ProgressView {
public:
    // The dialog keeps the two status bitmaps until the worker has ended.
    DialogProgressView(HWND dialog, HBITMAP successImage, HBITMAP failureImage)
        : dialog_(dialog), successImage_(successImage), failureImage_(failureImage) {}

    void setBarPosition(int controlId, int percent) override;
    void setImage(int controlId, StatusImage image) override;
    void setText(int controlId, const std::string& text) override;
    void showButton(int controlId) override;
    void enableButton(int controlId) override;

private:
    HWND dialog_;
    HBITMAP successImage_;
    HBITMAP failureImage_;
};

} // namespace orvella
