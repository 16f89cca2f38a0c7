// Drives Orvella.exe under Wine from another process, as a user would, and checks what its dialogs show.
// tools/wine-e2e.sh runs the program and this driver side by side; each command is one step of a scenario,
// and the exit status is 1 when a check failed.
//
//   orvella-gui-driver prepare FOLDER [MINOR]   writes the test game (game version 1.MINOR, default 6)
//   orvella-gui-driver end-to-end FOLDER        lists, converts, reports, restores, and leaves with Escape
//   orvella-gui-driver message SHOT TEXT        a start-up message box: checks its TEXT, shoots it, OK
//   orvella-gui-driver pick-folder SHOT PATH    the folder picker: picks PATH, or cancels it for "-"
//   orvella-gui-driver close ok|escape          closes the main dialog with "OK" or the Escape key

#include <windows.h>

#include <commctrl.h>

#include "app/resource.h"
#include "gamebuilder/DemoGame.h"
#include "gamebuilder/GameBuilder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace orvella::driver {
namespace {

constexpr const char* MainCaption = "LRK Orvella 2.0 (by Quennic)";
const std::string DemoSave = demo::DemoSaveName, UntranslatedSave = "Journal0002.ess",
                  ExpansionsSave = "Expansions0003.ess", BetaSave = "Beta0004.ess",
                  ItalianSave = "Italian0005.ess";

int failures = 0;

void check(bool passed, const std::string& what) {
    std::printf("%s %s\n", passed ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    failures += passed ? 0 : 1;
}

void check(const std::string& actual, const std::string& expected, const std::string& what) {
    check(actual == expected,
          what + (actual == expected ? "" : ": got \"" + actual + "\", wanted \"" + expected + "\""));
}

void pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Polls the condition until it holds or the seconds have passed; false on timeout.
bool waitUntil(const std::function<bool()>& condition, int seconds = 10) {
    for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds); !condition();
         pause(100))
        if (std::chrono::steady_clock::now() > end)
            return false;
    return true;
}

// A window's text, read with a timeout so that a hung window cannot hang the driver.
std::string windowText(HWND window) {
    char text[4096] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    return std::string(text, length);
}

// A dialog of the program, worked as a user works it.
struct Dialog {
    HWND window = nullptr;

    HWND item(int id) const { return GetDlgItem(window, id); }
    std::string text(int id) const { return windowText(item(id)); }
    bool enabled(int id) const { return IsWindowEnabled(item(id)); }
    LRESULT send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendDlgItemMessageA(window, id, message, wParam, lParam);
    }
    // Clicks a button, without waiting for what the click starts.
    void click(int id) const { PostMessageA(item(id), BM_CLICK, 0, 0); }
    // Sends the Escape key through the dialog's message loop.
    void escape() const { PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0); }
    // Clicks a button of a message box and waits until the box has gone.
    void answer(int button) const {
        click(button);
        closes();
        pause(500);
    }
    bool closes() const {
        return waitUntil([this] { return !IsWindow(window); });
    }
    // Whether one of its static controls, where a message box shows its message, holds the text; a text that
    // ends in "*" stands for every text that begins with what comes before it.
    bool shows(const std::string& wanted) const {
        const std::size_t length = wanted.ends_with('*') ? wanted.size() - 1 : std::string::npos;
        for (HWND child = nullptr; (child = FindWindowExA(window, child, "Static", nullptr));)
            if (windowText(child).substr(0, length) == wanted.substr(0, length))
                return true;
        return false;
    }
    // Wine hands a list box's line to another process in UTF-16 whichever way it is asked for, so the driver
    // asks for UTF-16 and turns it into the ANSI code page itself; each line ends in "\n".
    std::string lines(int id) const {
        std::string lines;
        for (int line = 0; line < SendDlgItemMessageW(window, id, LB_GETCOUNT, 0, 0); ++line) {
            wchar_t wide[1024] = {};
            char text[2048] = {};
            if (SendDlgItemMessageW(window, id, LB_GETTEXTLEN, line, 0) < 1024 &&
                SendDlgItemMessageW(window, id, LB_GETTEXT, line, reinterpret_cast<LPARAM>(wide)) >= 0 &&
                WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr))
                lines += std::string(text) + "\n";
        }
        return lines;
    }
};

// A visible dialog of another process with this caption ("" for any) that holds a control with this id (0
// for any); the progress dialog has no caption.
Dialog findDialog(const std::string& caption, int control = 0, HWND except = nullptr) {
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "#32770", nullptr));) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (IsWindowVisible(window) && process != GetCurrentProcessId() && window != except &&
            (caption.empty() || windowText(window) == caption) && (!control || GetDlgItem(window, control)))
            return {window};
    }
    return {};
}

// Polls for the dialog and gives it time to paint before anyone looks at it; stops when none appears in time.
Dialog waitForDialog(const std::string& caption, int control = 0, HWND except = nullptr) {
    Dialog found;
    if (!waitUntil([&] { return (found = findDialog(caption, control, except)).window != nullptr; }, 30))
        throw std::runtime_error("no dialog \"" + caption + "\" with control " + std::to_string(control));
    pause(300);
    return found;
}

// Asks the script around the driver for a screenshot of the screen, and waits until it has been taken.
void screenshot(const std::string& name) {
    const char* folder = std::getenv("ORVELLA_SHOTS");
    if (!folder || !*folder)
        return;
    const std::string request = std::string(folder) + "\\" + name + ".request";
    check(build::writeBytes(request, "") && waitUntil([&] { return !std::filesystem::exists(request); }, 20),
          "screenshot " + name);
}

// A list view or tree view of another process, with memory in that process: a message whose parameter points
// to data reaches the other process with the pointer unchanged, so the data goes through memory there.
class RemoteControl {
public:
    // Where a control's text goes in the memory, after the structure that asks for it.
    static constexpr std::size_t TextOffset = 1024, Size = 4096;

    explicit RemoteControl(HWND control) : control_(control) {
        DWORD processId = 0;
        GetWindowThreadProcessId(control, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_)
            memory_ = static_cast<char*>(
                VirtualAllocEx(process_, nullptr, Size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!memory_)
            throw std::runtime_error("cannot reach the process of another program's window");
    }
    ~RemoteControl() {
        VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    RemoteControl(const RemoteControl&) = delete;
    RemoteControl& operator=(const RemoteControl&) = delete;

    // The list view's rows, and a row as the user sees it: its file name, the icon of its direction (0
    // English, 1 Italian, 2 beta), then the marks of the expansions.
    int count() const { return static_cast<int>(send(LVM_GETITEMCOUNT, 0)); }
    std::string row(int item) const {
        LVITEMA cell{.mask = LVIF_IMAGE, .iItem = item, .iImage = -1};
        sendWith(LVM_GETITEMA, 0, cell);
        return cellText(item, 3) + " " + std::to_string(cell.iImage) + "|" + cellText(item, 1) + "|" +
               cellText(item, 2);
    }
    // The row that holds the file name.
    int find(const std::string& fileName) const {
        for (int item = 0; item < count(); ++item)
            if (cellText(item, 3) == fileName)
                return item;
        throw std::runtime_error(fileName + " is not listed");
    }
    // Selects and focuses the row and makes it the selection mark, as a click on it does.
    void select(const std::string& fileName) const {
        const int item = find(fileName);
        send(LVM_SETSELECTIONMARK, 0, item);
        LVITEMA state{.state = LVIS_SELECTED | LVIS_FOCUSED, .stateMask = LVIS_SELECTED | LVIS_FOCUSED};
        sendWith(LVM_SETITEMSTATE, item, state);
        pause(200);
    }

    // The tree view's items, worked as a user works them: opening one fills it as a click on its button does.
    HTREEITEM next(UINT relation, HTREEITEM item = nullptr) const {
        return reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    std::vector<HTREEITEM> open(HTREEITEM item) const {
        send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        std::vector<HTREEITEM> children;
        for (HTREEITEM child = next(TVGN_CHILD, item); child; child = next(TVGN_NEXT, child))
            children.push_back(child);
        return children;
    }
    std::string text(HTREEITEM item) const {
        TVITEMA fields{
            .mask = TVIF_TEXT, .hItem = item, .pszText = memory_ + TextOffset, .cchTextMax = MAX_PATH};
        return item && sendWith(TVM_GETITEMA, 0, fields) ? read() : "";
    }
    void select(HTREEITEM item) const { send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)); }

private:
    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam = 0) const {
        return SendMessageA(control_, message, wParam, lParam);
    }
    // Sends the message with the structure copied into the other process, and copies it back.
    template <typename Structure> LRESULT sendWith(UINT message, WPARAM wParam, Structure& structure) const {
        WriteProcessMemory(process_, memory_, &structure, sizeof structure, nullptr);
        const LRESULT result = send(message, wParam, reinterpret_cast<LPARAM>(memory_));
        ReadProcessMemory(process_, memory_, &structure, sizeof structure, nullptr);
        return result;
    }
    // The text the control wrote after the structure, up to its NUL.
    std::string read() const {
        std::string text(Size - TextOffset, '\0');
        ReadProcessMemory(process_, memory_ + TextOffset, text.data(), text.size(), nullptr);
        return text.substr(0, text.find('\0'));
    }
    std::string cellText(int item, int column) const {
        LVITEMA cell{.iSubItem = column, .pszText = memory_ + TextOffset, .cchTextMax = Size - TextOffset};
        return sendWith(LVM_GETITEMTEXTA, item, cell) > 0 ? read() : "";
    }

    HWND control_;
    HANDLE process_ = nullptr;
    char* memory_ = nullptr;
};

// Writes the game folder of the Wine tests: the demo game, a save of every kind the list tells apart, files
// in "Saves" that are no saves, and the game's executable, a stand-in for it (beside the driver) whose
// version resource says 1.MINOR.0.1820. False when a file cannot be written.
bool writeGame(const std::string& folder, std::uint16_t minor) {
    char driver[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, driver, MAX_PATH);
    std::string stub =
        build::readBytes(std::string(driver, std::strrchr(driver, '\\') + 1) + "game-stub.exe");
    // The fixed file version follows the signature 0xFEEF04BD and the structure's version.
    const std::size_t at = stub.find(std::string("\xBD\x04\xEF\xFE", 4));
    if (at == std::string::npos || at + 12 > stub.size() || !demo::writeDemoGame(nativeFileSystem(), folder))
        return false;
    stub[at + 8] = static_cast<char>(minor & 0xFF);
    stub[at + 9] = static_cast<char>(minor >> 8);

    const std::string saves = folder + "\\Saves\\";
    const std::pair<std::string, std::uint64_t> morrowind = {"Morrowind.esm", demo::demoMaster().size()};
    // The first: the demo's journal and a day whose paragraph no master knows (it stays untranslated). Not
    // listed: a save whose extension is in capitals, a folder named like a save, a text file.
    const struct {
        std::string name, description, journal;
        std::vector<std::pair<std::string, std::uint64_t>> masters;
    } others[] = {
        {UntranslatedSave,
         "Giornale",
         "<FONT COLOR=\"9F0000\">16 Last Seed (Day 1)</FONT><BR>\n"
         "The old guide asked me, Nerevar, to bring him a gold coin.<P>\n"
         "<FONT COLOR=\"9F0000\">19 Last Seed (Day 4)</FONT><BR>\n"
         "A stranger in a grey cloak watched me from the end of the docks.<P>\n",
         {morrowind}},
        {ExpansionsSave, "Espansioni", "", {morrowind, {"Tribunal.esm", 1}, {"Bloodmoon.esm", 1}}},
        {BetaSave, "Beta", "", {morrowind, {"Morrowind LRK - open beta.esp", 1}}},
        {ItalianSave,
         "Italiano",
         "",
         {morrowind, {"Morrowind LRK - Versione Finale.esp", 1}, {"Bloodmoon LRK - Versione Finale.esp", 1}}},
        {"Capitals0006.ESS", "Maiuscole", "", {morrowind}},
    };
    bool written = true;
    for (const auto& [name, description, journal, masters] : others) {
        build::GameFileBuilder save({.kind = build::FileKind::Save,
                                     .description = description,
                                     .masters = masters,
                                     .health = 57.4f,
                                     .daysPassed = 4,
                                     .cellName = "Balmora"});
        if (!journal.empty())
            save.add(build::RecordBuilder("JOUR").sub("NAME", build::z(journal)));
        written = written && save.writeTo(saves + name);
    }
    std::error_code error;
    return written && std::filesystem::create_directories(saves + "Folder0007.ess", error) &&
           build::writeBytes(saves + "notes.txt", "appunti\r\n") &&
           build::writeBytes(folder + "\\Morrowind.exe", stub);
}

// The PATCH button's label, then "+" or "-" for PATCH and for restore enabled.
std::string buttons(const Dialog& main) {
    return main.text(IDC_PATCH) + (main.enabled(IDC_PATCH) ? " +" : " -") +
           (main.enabled(IDC_RESTORE) ? "+" : "-");
}

// Presses PATCH, checks the progress dialog once the worker has ended and its outcome, and gives the dialog.
Dialog runConversion(const Dialog& main, const std::string& shot, const std::string& outcome) {
    main.click(IDC_PATCH);
    const Dialog progress = waitForDialog("", IDC_MASTER_LABEL);
    // Escape must not close the dialog, neither while the worker runs nor after it.
    progress.escape();
    check(waitUntil([&] { return progress.enabled(IDOK); }, 120), "the worker enables OK");
    progress.escape();
    pause(300);
    check(IsWindow(progress.window) && IsWindowVisible(progress.window),
          "Escape leaves the progress dialog open");
    const std::pair<int, int> stages[] = {
        {IDC_MASTER_BAR, IDC_MASTER_IMAGE},   {IDC_PLUGIN_BAR, IDC_PLUGIN_IMAGE},
        {IDC_READ_BAR, IDC_READ_IMAGE},       {IDC_CONVERT_BAR, IDC_CONVERT_IMAGE},
        {IDC_JOURNAL_BAR, IDC_JOURNAL_IMAGE}, {IDC_FINAL_BAR, IDC_FINAL_IMAGE}};
    const LRESULT first = progress.send(IDC_MASTER_IMAGE, STM_GETIMAGE, IMAGE_BITMAP);
    std::string shown;
    for (auto [bar, image] : stages)
        shown += std::to_string(progress.send(bar, PBM_GETPOS)) +
                 (first && progress.send(image, STM_GETIMAGE, IMAGE_BITMAP) == first ? "= " : "? ");
    check(shown, "100= 100= 100= 100= 100= 100= ", "every bar at 100, every image the first one's picture");
    check(progress.text(IDC_OUTCOME), outcome, "outcome text");
    screenshot(shot);
    return progress;
}

// "OK" closes the progress dialog once the worker's thread has ended; a press just before that is ignored.
void closeProgress(const Dialog& progress) {
    const auto pressed = [&] {
        progress.click(IDOK);
        pause(100);
        return !IsWindow(progress.window);
    };
    check(waitUntil(pressed, 20), "OK closes the progress dialog");
    pause(300);
}

void checkStartingState(const Dialog& main, const RemoteControl& list, const std::string& saves) {
    std::string boxes;
    for (int box : {IDC_GAME_VERSION, IDC_MORROWIND_MASTER, IDC_TRIBUNAL_MASTER, IDC_BLOODMOON_MASTER,
                    IDC_MORROWIND_PLUGIN, IDC_TRIBUNAL_PLUGIN, IDC_BLOODMOON_PLUGIN})
        boxes += main.text(box) + "\n";
    check(boxes + buttons(main),
          "1.6.01820\nMorrowind.esm\n<Master File non trovato>\n<Master File non trovato>\n"
          "Morrowind LRK - Versione Finale.esp\n<Plugin non trovato>\n<Plugin non trovato>\nPATCH --",
          "the boxes of the game's files, PATCH and restore at start");

    // The program reads the saves in the order Wine lists them, and puts each at the top of the list as it
    // reads it; every save is listed, and nothing else.
    const std::map<std::string, std::string> rows = {{DemoSave, "0||"},
                                                     {UntranslatedSave, "0||"},
                                                     {ExpansionsSave, "0|T|B"},
                                                     {BetaSave, "2||"},
                                                     {ItalianSave, "1||B"}};
    std::string shown, wanted;
    for (int item = 0; item < list.count(); ++item)
        shown += list.row(item) + "\n";
    WIN32_FIND_DATAA data;
    HANDLE found = FindFirstFileA((saves + "*.*").c_str(), &data);
    for (bool more = found != INVALID_HANDLE_VALUE; more; more = FindNextFileA(found, &data))
        if (rows.contains(data.cFileName))
            wanted = std::string(data.cFileName) + " " + rows.at(data.cFileName) + "\n" + wanted;
    FindClose(found);
    check(shown, wanted, "the list holds the saves in order, with their icons and expansions");
}

void convertAndRestore(const Dialog& main, const RemoteControl& list, const std::string& folder) {
    const std::string save = folder + "\\Saves\\" + DemoSave;
    const std::string backup = folder + "\\LRK Saves Backup\\" + DemoSave + ".bak";
    const std::string original = build::readBytes(save);

    list.select(DemoSave);
    check(main.text(IDC_SUMMARY) + "\n" + main.lines(IDC_MASTER_LIST) + buttons(main),
          "NomePG: Nerevar\r\nNome Salvataggio: Demo\r\n\r\nSalvato a: Seyda Neen\r\nGiorno: 3\r\n"
          "Punti Ferita: 100\\100\nMorrowind.esm\nInglese -> Italiano +-",
          "summary, master list, PATCH and restore of the demo save");
    check(main.send(IDC_SCREENSHOT, STM_GETIMAGE, IMAGE_BITMAP) != 0, "screenshot shown");
    screenshot("main-dialog-selected");

    const Dialog progress = runConversion(main, "progress-dialog", "Patch effettuata con successo");
    check(!IsWindowVisible(progress.item(IDC_VIEW_LOG)), "no log to show");
    closeProgress(progress);
    check(std::filesystem::exists(backup) && !std::filesystem::exists(save + ".log") &&
              !std::filesystem::exists(save + ".tmp"),
          "the conversion left a backup, and no log or temporary file beside the save");
    const std::string converted = build::readBytes(save);
    check(converted.find("DNAM" + build::u32(13) + build::z("dicerie demo")) != std::string::npos &&
              converted.find("@dicerie demo#") != std::string::npos,
          "the known topic and the journal's link that only the game's files translate are Italian");
    check(list.row(list.find(DemoSave)) + ", " + buttons(main), DemoSave + " 1||, PATCH --",
          "the converted save's row, PATCH and restore after the conversion");

    list.select(DemoSave);
    check(buttons(main) + "\n" + main.lines(IDC_MASTER_LIST),
          "Italiano -> Inglese ++\nMorrowind.esm\nMorrowind LRK - Versione Finale.esp\n",
          "PATCH and restore for the converted save, which lists the translation plugin");
    screenshot("main-dialog-converted");

    main.click(IDC_RESTORE);
    const Dialog question = waitForDialog("ATTENZIONE!");
    check(question.shows("Sei sicuro? Il salvataggio attuale sar\xE0 sovrascritto\r\ndal file di backup "
                         "generato durante la patch"),
          "the restore question's text");
    screenshot("restore-question");
    question.answer(IDYES);
    check(build::readBytes(save) == original && !std::filesystem::exists(backup),
          "the restore brought the save back byte for byte and used up the backup");
    list.select(DemoSave);
    check(list.row(list.find(DemoSave)) + ", " + buttons(main), DemoSave + " 0||, Inglese -> Italiano +-",
          "the restored save's row, PATCH and restore");
}

void showLog(const Dialog& main, const RemoteControl& list, const std::string& folder) {
    list.select(UntranslatedSave);
    check(main.text(IDC_SUMMARY),
          "NomePG: Nerevar\r\nNome Salvataggio: Giornale\r\n\r\nSalvato a: Balmora\r\nGiorno: 4\r\n"
          "Punti Ferita: 57\\100",
          "summary of the save with an unknown paragraph");
    const Dialog progress = runConversion(main, "progress-dialog-log",
                                          "Patch effettuata con successo, ma con delle frasi non tradotte");
    check(IsWindowVisible(progress.item(IDC_VIEW_LOG)) && progress.enabled(IDC_VIEW_LOG),
          "\"Visualizza LOG\" shown and enabled");

    progress.click(IDC_VIEW_LOG);
    const Dialog report = waitForDialog("", IDC_REPORT_TEXT, progress.window);
    check(windowText(report.window), "File di Log per " + UntranslatedSave, "report title");
    const std::string body = report.text(IDC_REPORT_TEXT);
    check(body.find("- FRASI DEL JOURNAL NON TRADOTTE -") != std::string::npos &&
              body.find("A stranger in a grey cloak") != std::string::npos,
          "report lists the unknown paragraph among the untranslated ones");
    screenshot("report-dialog");
    report.escape();
    check(report.closes() && IsWindow(progress.window),
          "Escape closes the report, and the progress dialog stays");
    closeProgress(progress);
    check(std::filesystem::exists(folder + "\\Saves\\" + UntranslatedSave + ".log"),
          "the log stays beside the converted save");
}

void refusedConversions(const Dialog& main, const RemoteControl& list) {
    list.select(BetaSave);
    check(buttons(main), "Versione BETA non supportata --", "PATCH and restore for the beta save");
    list.select(ExpansionsSave);
    check(buttons(main), "Inglese -> Italiano +-", "PATCH and restore for the save of the expansions");
    main.click(IDC_PATCH);
    const Dialog refusal = waitForDialog("Controllo Plugin");
    check(refusal.shows("Per questa conversione \xE8 necessario avere il Master File di di Tribunal."),
          "the plugin check names the missing Tribunal master");
    screenshot("plugin-check");
    refusal.answer(IDOK);
    check(!findDialog("", IDC_MASTER_LABEL).window && buttons(main) == "PATCH --",
          "no conversion started, and PATCH and restore are off");
}

void endToEnd(const std::string& folder) {
    const Dialog main = waitForDialog(MainCaption);
    screenshot("main-dialog");
    RemoteControl list(main.item(IDC_SAVE_LIST));
    checkStartingState(main, list, folder + "\\Saves\\");
    convertAndRestore(main, list, folder);
    showLog(main, list, folder);
    refusedConversions(main, list);
    main.escape();
    check(main.closes(), "Escape closes the main dialog");
}

void startupMessage(const std::string& shot, const std::string& text) {
    const Dialog box = waitForDialog("Errore");
    check(box.shows(text) && !findDialog(MainCaption).window,
          "message \"" + text + "\", no main dialog behind it");
    screenshot(shot);
    box.click(IDOK);
}

// The item of a folder path ("Z:\games\Morrowind") in the picker's tree, reached as a user reaches it: the
// computer's item that holds the drive, then each folder by name. Selecting by path (BFFM_SETSELECTION)
// is no way for a test: Wine matches the path's item IDs against the tree's, and those carry each
// folder's last access time, which the picker's own reading of a folder moves on a recently changed one.
HTREEITEM folderItem(const RemoteControl& tree, const std::string& path) {
    std::size_t end = path.find('\\');
    const std::string drive = "(" + path.substr(0, end) + ")";
    HTREEITEM item = nullptr;
    for (HTREEITEM top : tree.open(tree.next(TVGN_ROOT)))
        for (HTREEITEM child : tree.open(top)) {
            const std::string shown = tree.text(child);
            if (!item && shown.size() >= drive.size() &&
                !lstrcmpiA(shown.substr(shown.size() - drive.size()).c_str(), drive.c_str()))
                item = child;
        }
    while (item && end != std::string::npos) {
        const std::size_t begin = end + 1;
        end = path.find('\\', begin);
        const std::string name = path.substr(begin, end == std::string::npos ? end : end - begin);
        for (HTREEITEM child : tree.open(std::exchange(item, nullptr)))
            if (!item && !lstrcmpiA(tree.text(child).c_str(), name.c_str()))
                item = child;
    }
    return item;
}

// The classic folder picker: a folder selected in its tree, and its OK button returns it.
void pickFolder(const std::string& shot, const std::string& path) {
    const Dialog picker = waitForDialog("", IDOK);
    check(picker.shows("Selezionare manualmente la directory di Morrowind."), "the picker's prompt");
    screenshot(shot);
    if (path == "-")
        return picker.click(IDCANCEL);
    RemoteControl tree(FindWindowExA(picker.window, nullptr, WC_TREEVIEWA, nullptr));
    HTREEITEM folder = folderItem(tree, path);
    if (!folder)
        throw std::runtime_error("the picker's tree does not reach " + path);
    tree.select(folder);
    check(tree.next(TVGN_CARET) == folder && picker.enabled(IDOK),
          "the picker selects " + tree.text(folder) + " and accepts it");
    picker.click(IDOK);
    check(picker.closes(), "OK closes the picker");
}

void closeMain(const std::string& how) {
    const Dialog main = waitForDialog(MainCaption);
    how == "ok" ? main.click(IDOK) : main.escape();
    check(main.closes(), "the main dialog closes with " + how);
}

int run(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "prepare" && (argc == 3 || argc == 4))
        check(writeGame(argv[2], static_cast<std::uint16_t>(argc == 4 ? std::atoi(argv[3]) : 6)),
              std::string("write the test game in ") + argv[2]);
    else if (command == "end-to-end" && argc == 3)
        endToEnd(argv[2]);
    else if (command == "message" && argc == 4)
        startupMessage(argv[2], argv[3]);
    else if (command == "pick-folder" && argc == 4)
        pickFolder(argv[2], argv[3]);
    else if (command == "close" && argc == 3)
        closeMain(argv[2]);
    else {
        std::fprintf(stderr, "usage: orvella-gui-driver prepare|end-to-end|message|pick-folder|close ...\n");
        return 2;
    }
    return failures > 0 ? 1 : 0;
}

} // namespace
} // namespace orvella::driver

int main(int argc, char** argv) {
    try {
        return orvella::driver::run(argc, argv);
    } catch (const std::runtime_error& stopped) { // the scenario cannot go on: a window it needs is missing
        std::printf("FAIL %s\n", stopped.what());
        return 1;
    }
}
