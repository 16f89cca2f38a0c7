#include "DriverWindows.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <thread>

namespace orvella::driver {
namespace {

int failures = 0;

// Reads a window's text with a timeout, so that a hung window cannot hang the driver.
std::string sentText(HWND window) {
    char text[4096] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    return std::string(text, length);
}

bool isOtherProcessDialog(HWND window) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return std::string(className) == "#32770" && IsWindowVisible(window) && process != GetCurrentProcessId();
}

} // namespace

void check(bool passed, const std::string& what) {
    std::printf("%s %s\n", passed ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!passed)
        ++failures;
}

void checkEqual(const std::string& actual, const std::string& expected, const std::string& what) {
    check(actual == expected,
          what + (actual == expected ? "" : ": got \"" + actual + "\", wanted \"" + expected + "\""));
}

int failureCount() {
    return failures;
}

bool waitUntil(const std::function<bool()>& condition, int seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

HWND waitForWindow(const std::function<HWND()>& find, int seconds, const std::string& what) {
    HWND found = nullptr;
    if (!waitUntil([&] { return (found = find()) != nullptr; }, seconds))
        throw ScenarioStopped{what + " did not appear"};
    // Give the window time to paint before anyone looks at it.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return found;
}

namespace {

BOOL CALLBACK collectWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

std::vector<HWND> topLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> childWindows(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

} // namespace

HWND findDialog(const std::string& caption) {
    for (HWND window : topLevelWindows())
        if (isOtherProcessDialog(window) && sentText(window) == caption)
            return window;
    return nullptr;
}

HWND findDialogWithControl(int controlId, HWND except) {
    for (HWND window : topLevelWindows())
        if (window != except && isOtherProcessDialog(window) && GetDlgItem(window, controlId))
            return window;
    return nullptr;
}

std::string windowText(HWND window) {
    return sentText(window);
}

std::string controlText(HWND dialog, int controlId) {
    return sentText(GetDlgItem(dialog, controlId));
}

bool controlEnabled(HWND dialog, int controlId) {
    return IsWindowEnabled(GetDlgItem(dialog, controlId));
}

bool controlVisible(HWND dialog, int controlId) {
    return IsWindowVisible(GetDlgItem(dialog, controlId));
}

bool showsText(HWND dialog, const std::string& text) {
    const bool prefix = !text.empty() && text.back() == '*';
    for (HWND child : childWindows(dialog)) {
        char className[64] = {};
        GetClassNameA(child, className, sizeof className);
        const std::string shown = sentText(child);
        if (std::string(className) == "Static" &&
            (prefix ? shown.compare(0, text.size() - 1, text, 0, text.size() - 1) == 0 : shown == text))
            return true;
    }
    return false;
}

// Wine hands a list box's line to another process in UTF-16 whichever way it is asked for, so the driver
// asks for UTF-16 and turns it into the ANSI code page itself.
std::vector<std::string> listBoxLines(HWND dialog, int controlId) {
    HWND box = GetDlgItem(dialog, controlId);
    std::vector<std::string> lines;
    int count = static_cast<int>(SendMessageW(box, LB_GETCOUNT, 0, 0));
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

void clickButton(HWND dialog, int controlId) {
    PostMessageA(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0);
}

void answer(HWND box, int button) {
    clickButton(box, button);
    waitUntil([&] { return !IsWindow(box); }, 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
}

void pressEscape(HWND dialog) {
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
}

void screenshot(const std::string& name) {
    const char* folder = std::getenv("ORVELLA_SHOTS");
    if (!folder || !*folder)
        return;
    std::string request = std::string(folder) + "\\" + name + ".request";
    if (FILE* file = std::fopen(request.c_str(), "w"))
        std::fclose(file);
    bool taken =
        waitUntil([&] { return GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES; }, 20);
    check(taken, "screenshot " + name);
}

} // namespace orvella::driver
