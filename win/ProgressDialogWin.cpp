#include "app/ProgressDialogState.h"
#include "app/resource.h"
#include "job/PatchJob.h"
#include "job/PatchResult.h"
#include "win/DialogsWin.h"
#include "win/ProgressViewWin.h"

#include <memory>

namespace orvella {
namespace {

std::string patchLogPath;

// The worker's parameter is its job, which the dialog holds until the worker has ended.
DWORD WINAPI runWorker(void* job) {
    return guarded(
        [job] { return static_cast<DWORD>(runPatchJob(*static_cast<const PatchJob*>(job)).exitCode); });
}

// The progress dialog: it starts the worker and lets the user out only once the worker has ended.
class ProgressDialog {
public:
    ProgressDialog(HWND dialog, const PatchRequest& request) : dialog_(dialog), request_(request) {}
    ProgressDialog(const ProgressDialog&) = delete;
    ProgressDialog& operator=(const ProgressDialog&) = delete;

    void start() {
        centreOnDesktop(dialog_);
        successImage_ = loadImage(IDB_SUCCESS);
        failureImage_ = loadImage(IDB_FAILURE);
        view_ = std::make_unique<DialogProgressView>(dialog_, successImage_, failureImage_);
        const DesktopSession& session = desktopSession();
        job_.installation = &session.installation;
        job_.files = session.files;
        job_.messages = session.messages;
        job_.progressDialog = view_.get();
        job_.tables = session.tables;
        job_.request = request_;
        patchLogPath.clear();
        worker_ = CreateThread(nullptr, 0, runWorker, &job_, 0, nullptr);
        // Without a worker nothing runs, and "OK" is the way out.
        if (!worker_)
            EnableWindow(GetDlgItem(dialog_, IDOK), TRUE);
    }

    // The worker's last message: the outcome, the log to offer, and "OK" as the way out.
    void onJobFinished(const PatchResult& result) {
        patchLogPath = result.logPath;
        if (result.logOffered) {
            ShowWindow(GetDlgItem(dialog_, IDC_VIEW_LOG), SW_SHOW);
            EnableWindow(GetDlgItem(dialog_, IDC_VIEW_LOG), TRUE);
        }
        SetDlgItemTextA(dialog_, IDC_OUTCOME, result.outcomeText.c_str());
        EnableWindow(GetDlgItem(dialog_, IDOK), TRUE);
    }

    void onCommand(int commandId) {
        switch (state_.onCommand(commandId, workerExitCode())) {
        case ProgressAction::Ignore:
            break;
        case ProgressAction::OpenReport:
            DialogBoxParamA(desktopSession().instance, MAKEINTRESOURCEA(IDD_REPORT), dialog_,
                            reportDialogProcedure, 0);
            break;
        case ProgressAction::Close:
            DeleteObject(successImage_);
            DeleteObject(failureImage_);
            if (worker_)
                CloseHandle(worker_);
            EndDialog(dialog_, state_.result());
            break;
        }
    }

private:
    // White, the first colour of the bitmap, becomes the dialog's face colour.
    HBITMAP loadImage(int id) {
        return static_cast<HBITMAP>(LoadImageA(desktopSession().instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP,
                                               0, 0, LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS));
    }

    std::optional<std::uint32_t> workerExitCode() {
        if (!worker_)
            return 1;
        DWORD exitCode = 0;
        if (!GetExitCodeThread(worker_, &exitCode) || exitCode == STILL_ACTIVE)
            return std::nullopt;
        return exitCode;
    }

    HWND dialog_;
    const PatchRequest& request_;
    HBITMAP successImage_ = nullptr;
    HBITMAP failureImage_ = nullptr;
    std::unique_ptr<DialogProgressView> view_;
    PatchJob job_;
    HANDLE worker_ = nullptr;
    ProgressDialogState state_;
};

ProgressDialog* dialogOf(HWND window) {
    return reinterpret_cast<ProgressDialog*>(GetWindowLongPtrA(window, DWLP_USER));
}

INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto dialog =
            std::make_unique<ProgressDialog>(window, *reinterpret_cast<const PatchRequest*>(lParam));
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog.get()));
        dialog.release()->start();
        return TRUE;
    }
    ProgressDialog* dialog = dialogOf(window);
    if (!dialog)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        // Every command is handled, so that Escape and the rest cannot close the dialog.
        dialog->onCommand(LOWORD(wParam));
        return TRUE;
    case JobFinishedMessage:
        dialog->onJobFinished(*reinterpret_cast<const PatchResult*>(lParam));
        return TRUE;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, DWLP_USER, 0);
        delete dialog;
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK progressDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return guarded([&] { return handleMessage(dialog, message, wParam, lParam); });
}

} // namespace

int runProgressDialog(HWND owner, const PatchRequest& request) {
    INT_PTR result = DialogBoxParamA(desktopSession().instance, MAKEINTRESOURCEA(IDD_PROGRESS), owner,
                                     progressDialogProcedure, reinterpret_cast<LPARAM>(&request));
    return result == -1 ? 1 : static_cast<int>(result);
}

const std::string& lastPatchLogPath() {
    return patchLogPath;
}

} // namespace orvella
