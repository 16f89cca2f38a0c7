#include "win/DialogsWin.h"

namespace orvella {

DesktopSession& desktopSession() {
    static DesktopSession session;
    return session;
}

void centreOnDesktop(HWND window) {
    RECT desktop;
    RECT own;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &own);
    int left = ((desktop.right - desktop.left) - (own.right - own.left)) / 2;
    int top = ((desktop.bottom - desktop.top) - (own.bottom - own.top)) / 2;
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void endAfterUnexpectedFailure() noexcept {
    ExitProcess(1);
}

} // namespace orvella
