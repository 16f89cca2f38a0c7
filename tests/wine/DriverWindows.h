#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace orvella::driver {

// Prints the outcome of one check and counts the failures.
void check(bool passed, const std::string& what);
void checkEqual(const std::string& actual, const std::string& expected, const std::string& what);
int failureCount();

// Stops the scenario: a window it needs never appeared.
struct ScenarioStopped {
    std::string reason;
};

// Polls the condition until it holds or the seconds have passed; false on timeout.
bool waitUntil(const std::function<bool()>& condition, int seconds);
// Polls for a window; throws ScenarioStopped when none appears in time.
HWND waitForWindow(const std::function<HWND()>& find, int seconds, const std::string& what);

// A visible top-level dialog of another process with this caption.
HWND findDialog(const std::string& caption);
// A visible top-level dialog that holds a control with this id; the progress dialog has no caption.
HWND findDialogWithControl(int controlId, HWND except = nullptr);

std::string windowText(HWND window);
std::string controlText(HWND dialog, int controlId);
bool controlEnabled(HWND dialog, int controlId);
bool controlVisible(HWND dialog, int controlId);
// Whether one of the dialog's static controls, where a message box shows its message, holds the text; a text
// that ends in "*" stands for every text that begins with what comes before it.
bool showsText(HWND dialog, const std::string& text);
// The lines of a list box.
std::vector<std::string> listBoxLines(HWND dialog, int controlId);

// Clicks a button as the user would, without waiting for what the click starts.
void clickButton(HWND dialog, int controlId);
// Clicks a button of a message box and waits until the box has gone.
void answer(HWND box, int button);
// Sends the Escape key to the dialog through its message loop.
void pressEscape(HWND dialog);

// Asks the script around the driver for a screenshot of the screen, and waits until it has been taken.
void screenshot(const std::string& name);

} // namespace orvella::driver
