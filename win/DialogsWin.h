#pragma once

#include "game/GameInstallation.h"
#include "job/PatchRequest.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"

#include <windows.h>

namespace orvella {

struct TopicTables;

// What the dialogs share for the whole run. It is filled before the main dialog opens and only read
// afterwards, also by the worker thread.
struct DesktopSession {
    HINSTANCE instance = nullptr;
    GameInstallation installation;
    FileSystem* files = nullptr;
    MessageBoxes* messages = nullptr;
    const TopicTables* tables = nullptr; // null: the tables built into the program
};

DesktopSession& desktopSession();

// The dialog procedures of the main dialog (resource 101) and the report dialog (resource 112).
INT_PTR CALLBACK mainDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK reportDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the progress dialog (resource 102) modally over the owner for the request; gives the worker's exit
// code.
int runProgressDialog(HWND owner, const PatchRequest& request);

// The log of the conversion that ran last, which the report dialog shows.
const std::string& lastPatchLogPath();

// Moves a window to the middle of the desktop without resizing it.
void centreOnDesktop(HWND window);

// Ends the program with exit code 1. An exception must not cross a window procedure or a thread's entry,
// and the only one that the program does not handle where it arises is running out of memory.
[[noreturn]] void endAfterUnexpectedFailure() noexcept;

// Runs the body of a callback that the system calls, ending the program if the body throws.
template <typename Body> auto guarded(Body&& body) noexcept -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        endAfterUnexpectedFailure();
    }
}

} // namespace orvella
