#pragma once

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace orvella::driver {

// Stops the scenario: a window it needs never appeared.
struct ScenarioStopped {
    std::string reason;
};

inline int failures = 0;

// Prints the outcome of one check and counts the failures.
inline void check(bool passed, const std::string& what) {
    std::printf("%s %s\n", passed ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    failures += passed ? 0 : 1;
}

inline void checkEqual(const std::string& actual, const std::string& expected, const std::string& what) {
    check(actual == expected,
          what + (actual == expected ? "" : ": got \"" + actual + "\", wanted \"" + expected + "\""));
}

inline void pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Polls the condition until it holds or the seconds have passed; false on timeout.
inline bool waitUntil(const std::function<bool()>& condition, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        pause(100);
    }
    return true;
}

// Polls for a window and gives it time to paint before anyone looks at it; stops when none appears in time.
inline HWND waitForWindow(const std::function<HWND()>& find, int seconds, const std::string& what) {
    HWND found = nullptr;
    if (!waitUntil([&] { return (found = find()) != nullptr; }, seconds))
        throw ScenarioStopped{what + " did not appear"};
    pause(300);
    return found;
}

// A window's text, read with a timeout so that a hung window cannot hang the driver.
inline std::string windowText(HWND window) {
    char text[4096] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    return std::string(text, length);
}

inline std::string className(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

inline BOOL CALLBACK collectWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

// The visible top-level dialogs of other processes.
inline std::vector<HWND> otherDialogs() {
    std::vector<HWND> windows, dialogs;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (className(window) == "#32770" && IsWindowVisible(window) && process != GetCurrentProcessId())
            dialogs.push_back(window);
    }
    return dialogs;
}

inline HWND findDialog(const std::string& caption) {
    for (HWND dialog : otherDialogs())
        if (windowText(dialog) == caption)
            return dialog;
    return nullptr;
}

// A dialog that holds a control with this id; the progress dialog has no caption.
inline HWND findDialogWithControl(int controlId, HWND except = nullptr) {
    for (HWND dialog : otherDialogs())
        if (dialog != except && GetDlgItem(dialog, controlId))
            return dialog;
    return nullptr;
}

inline std::string controlText(HWND dialog, int controlId) {
    return windowText(GetDlgItem(dialog, controlId));
}
inline bool controlEnabled(HWND dialog, int controlId) {
    return IsWindowEnabled(GetDlgItem(dialog, controlId));
}
inline bool controlVisible(HWND dialog, int controlId) {
    return IsWindowVisible(GetDlgItem(dialog, controlId));
}

// Whether one of the dialog's static controls, where a message box shows its message, holds the text; a text
// that ends in "*" stands for every text that begins with what comes before it.
inline bool showsText(HWND dialog, const std::string& text) {
    const bool prefix = !text.empty() && text.back() == '*';
    std::vector<HWND> children;
    EnumChildWindows(dialog, collectWindow, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        const std::string shown = windowText(child);
        if (className(child) == "Static" &&
            (prefix ? shown.compare(0, text.size() - 1, text, 0, text.size() - 1) == 0 : shown == text))
            return true;
    }
    return false;
}

// Wine hands a list box's line to another process in UTF-16 whichever way it is asked for, so the driver
// asks for UTF-16 and turns it into the ANSI code page itself.
inline std::vector<std::string> listBoxLines(HWND dialog, int controlId) {
    HWND box = GetDlgItem(dialog, controlId);
    std::vector<std::string> lines;
    const int count = static_cast<int>(SendMessageW(box, LB_GETCOUNT, 0, 0));
    for (int line = 0; line < count; ++line) {
        wchar_t wide[1024] = {};
        if (SendMessageW(box, LB_GETTEXTLEN, line, 0) >= static_cast<LRESULT>(std::size(wide)))
            continue;
        SendMessageW(box, LB_GETTEXT, line, reinterpret_cast<LPARAM>(wide));
        char text[2048] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        lines.push_back(text);
    }
    return lines;
}

// Clicks a button as the user would, without waiting for what the click starts.
inline void clickButton(HWND dialog, int controlId) {
    PostMessageA(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0);
}

// Clicks a button of a message box and waits until the box has gone.
inline void answer(HWND box, int button) {
    clickButton(box, button);
    waitUntil([&] { return !IsWindow(box); }, 10);
    pause(500);
}

// Sends the Escape key to the dialog through its message loop.
inline void pressEscape(HWND dialog) {
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
}

// Asks the script around the driver for a screenshot of the screen, and waits until it has been taken.
inline void screenshot(const std::string& name) {
    const char* folder = std::getenv("ORVELLA_SHOTS");
    if (!folder || !*folder)
        return;
    const std::string request = std::string(folder) + "\\" + name + ".request";
    if (FILE* file = std::fopen(request.c_str(), "w"))
        std::fclose(file);
    check(waitUntil([&] { return GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES; }, 20),
          "screenshot " + name);
}

} // namespace orvella::driver
