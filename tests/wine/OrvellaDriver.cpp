// Drives Orvella.exe under Wine from another process, as a user would, and checks what its dialogs show.
// tools/wine-e2e.sh runs the program and this driver side by side; each command of the driver is one
// part of a scenario. The exit status is the number of failed checks, capped at 1.
//
//   orvella-gui-driver prepare FOLDER [MINOR]   writes the test game (game version 1.MINOR, default 6)
//   orvella-gui-driver end-to-end FOLDER        lists, converts, reports, restores, and leaves with Escape
//   orvella-gui-driver message SHOT TEXT        a start-up message box: checks it, screenshots it, OK;
//                                               TEXT may end in "*" to match only its beginning
//   orvella-gui-driver pick-folder SHOT PATH    the folder picker: picks PATH, or cancels it for "-"
//   orvella-gui-driver close ok|escape          closes the main dialog with "OK" or the Escape key

#include "DriverWindows.h"
#include "E2eGame.h"
#include "RemoteControls.h"

#include "app/resource.h"
#include "gamebuilder/DemoGame.h"
#include "gamebuilder/GameBuilder.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace orvella::driver {
namespace {

constexpr const char* MainCaption = "LRK Orvella 2.0 (by Quennic)";

constexpr int StageBars[] = {IDC_MASTER_BAR,  IDC_PLUGIN_BAR,  IDC_READ_BAR,
                             IDC_CONVERT_BAR, IDC_JOURNAL_BAR, IDC_FINAL_BAR};
constexpr int StageImages[] = {IDC_MASTER_IMAGE,  IDC_PLUGIN_IMAGE,  IDC_READ_IMAGE,
                               IDC_CONVERT_IMAGE, IDC_JOURNAL_IMAGE, IDC_FINAL_IMAGE};

HWND mainDialog() {
    return waitForWindow([] { return findDialog(MainCaption); }, 30, "the main dialog");
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The saves of the folder against the order Wine lists them in, which is the order the program reads them in:
// every save goes to the top of the list as it is read.
std::string savesInReverseListingOrder(const std::string& saves) {
    std::string names;
    WIN32_FIND_DATAA data;
    HANDLE found = FindFirstFileA((saves + "*.*").c_str(), &data);
    for (bool more = found != INVALID_HANDLE_VALUE; more; more = FindNextFileA(found, &data)) {
        const std::string name = data.cFileName;
        if (name.size() > 4 && name.ends_with(".ess") && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names = name + " " + names;
    }
    FindClose(found);
    return names;
}

// A row of the save list as the user sees it: the icon of its direction (0 English, 1 Italian, 2 beta), then
// the marks of the expansions.
void checkRow(const RemoteListView& list, const std::string& fileName, const std::string& shown) {
    const int item = list.find(fileName);
    checkEqual(item < 0
                   ? "not listed"
                   : std::to_string(list.image(item)) + "|" + list.text(item, 1) + "|" + list.text(item, 2),
               shown, fileName + "'s icon|T|B");
}

void select(const RemoteListView& list, const std::string& fileName) {
    int item = list.find(fileName);
    if (item < 0)
        throw ScenarioStopped{fileName + " is not listed"};
    list.select(item);
    pause(200);
}

// The PATCH button's label, then "+" or "-" for PATCH and for restore enabled.
void checkButtons(HWND dialog, const std::string& shown, const std::string& when) {
    checkEqual(controlText(dialog, IDC_PATCH) + (controlEnabled(dialog, IDC_PATCH) ? " +" : " -") +
                   (controlEnabled(dialog, IDC_RESTORE) ? "+" : "-"),
               shown, "PATCH and restore " + when);
}

// Presses PATCH, checks the progress dialog once the worker has ended, and gives the dialog.
HWND runConversion(HWND main, const std::string& shot) {
    clickButton(main, IDC_PATCH);
    HWND progress =
        waitForWindow([] { return findDialogWithControl(IDC_MASTER_LABEL); }, 30, "the progress dialog");
    // Escape must not close the dialog, neither while the worker runs nor after it.
    pressEscape(progress);
    bool done = waitUntil([&] { return controlEnabled(progress, IDOK); }, 120);
    check(done, "the worker enables OK");
    pressEscape(progress);
    pause(300);
    check(IsWindow(progress) && IsWindowVisible(progress), "Escape leaves the progress dialog open");
    for (int bar : StageBars)
        check(SendDlgItemMessageA(progress, bar, PBM_GETPOS, 0, 0) == 100,
              "bar " + std::to_string(bar) + " at 100");
    HANDLE first = reinterpret_cast<HANDLE>(
        SendDlgItemMessageA(progress, StageImages[0], STM_GETIMAGE, IMAGE_BITMAP, 0));
    for (int image : StageImages) {
        HANDLE shown =
            reinterpret_cast<HANDLE>(SendDlgItemMessageA(progress, image, STM_GETIMAGE, IMAGE_BITMAP, 0));
        check(shown && shown == first,
              "image " + std::to_string(image) + " shows the same status picture as the first");
    }
    screenshot(shot);
    return progress;
}

// "OK" closes the progress dialog once the worker's thread has ended; a press just before that is ignored.
void closeProgress(HWND progress) {
    bool closed = waitUntil(
        [&] {
            if (!IsWindow(progress))
                return true;
            clickButton(progress, IDOK);
            pause(200);
            return !IsWindow(progress);
        },
        20);
    check(closed, "OK closes the progress dialog");
    pause(300);
}

void checkStartingState(HWND main, const RemoteListView& list, const std::string& saves) {
    const std::pair<int, const char*> boxes[] = {
        {IDC_GAME_VERSION, "1.6.01820"},
        {IDC_MORROWIND_MASTER, "Morrowind.esm"},
        {IDC_TRIBUNAL_MASTER, "<Master File non trovato>"},
        {IDC_BLOODMOON_MASTER, "<Master File non trovato>"},
        {IDC_MORROWIND_PLUGIN, "Morrowind LRK - Versione Finale.esp"},
        {IDC_TRIBUNAL_PLUGIN, "<Plugin non trovato>"},
        {IDC_BLOODMOON_PLUGIN, "<Plugin non trovato>"}};
    for (const auto& [box, text] : boxes)
        checkEqual(controlText(main, box), text, "box " + std::to_string(box));
    checkButtons(main, "PATCH --", "at start");

    std::string shown;
    for (int item = 0; item < list.count(); ++item)
        shown += list.text(item, 3) + " ";
    checkEqual(shown, savesInReverseListingOrder(saves), "the list holds the saves, and nothing else");
    checkRow(list, demo::DemoSaveName, "0||");
    checkRow(list, UntranslatedSave, "0||");
    checkRow(list, ExpansionsSave, "0|T|B");
    checkRow(list, BetaSave, "2||");
    checkRow(list, ItalianSave, "1||B");
}

void convertAndRestore(HWND main, const RemoteListView& list, const std::string& folder) {
    const std::string save = folder + "\\Saves\\" + demo::DemoSaveName;
    const std::string backup = folder + "\\LRK Saves Backup\\" + demo::DemoSaveName + ".bak";
    const std::string original = build::readBytes(save);

    select(list, demo::DemoSaveName);
    checkEqual(controlText(main, IDC_SUMMARY),
               "NomePG: Nerevar\r\nNome Salvataggio: Demo\r\n\r\nSalvato a: Seyda Neen\r\nGiorno: 3\r\n"
               "Punti Ferita: 100\\100",
               "summary of the demo save");
    std::vector<std::string> masters = listBoxLines(main, IDC_MASTER_LIST);
    check(masters == std::vector<std::string>{"Morrowind.esm"}, "the demo save's master list");
    check(SendDlgItemMessageA(main, IDC_SCREENSHOT, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0, "screenshot shown");
    checkButtons(main, "Inglese -> Italiano +-", "for the English demo save");
    screenshot("main-dialog-selected");

    HWND progress = runConversion(main, "progress-dialog");
    checkEqual(controlText(progress, IDC_OUTCOME), "Patch effettuata con successo", "outcome text");
    check(!controlVisible(progress, IDC_VIEW_LOG), "no log to show");
    closeProgress(progress);

    check(fileExists(backup), "the conversion left a backup");
    check(!fileExists(save + ".log") && !fileExists(save + ".tmp"),
          "no log or temporary file beside the save");
    checkRow(list, demo::DemoSaveName, "1||");
    checkButtons(main, "PATCH --", "after the conversion");

    select(list, demo::DemoSaveName);
    checkButtons(main, "Italiano -> Inglese ++", "for the converted save");
    masters = listBoxLines(main, IDC_MASTER_LIST);
    check(masters == std::vector<std::string>{"Morrowind.esm", "Morrowind LRK - Versione Finale.esp"},
          "the converted save lists the translation plugin");
    screenshot("main-dialog-converted");

    clickButton(main, IDC_RESTORE);
    HWND question = waitForWindow([] { return findDialog("ATTENZIONE!"); }, 20, "the restore question");
    check(showsText(question, "Sei sicuro? Il salvataggio attuale sar\xE0 sovrascritto\r\ndal file di backup "
                              "generato durante la patch"),
          "the restore question's text");
    screenshot("restore-question");
    answer(question, IDYES);

    check(build::readBytes(save) == original, "the restore brought the save back byte for byte");
    check(!fileExists(backup), "the restore used up the backup");
    checkRow(list, demo::DemoSaveName, "0||");
    select(list, demo::DemoSaveName);
    checkButtons(main, "Inglese -> Italiano +-", "after the restore");
}

void showLog(HWND main, const RemoteListView& list, const std::string& folder) {
    select(list, UntranslatedSave);
    checkEqual(controlText(main, IDC_SUMMARY),
               "NomePG: Nerevar\r\nNome Salvataggio: Giornale\r\n\r\nSalvato a: Balmora\r\nGiorno: 4\r\n"
               "Punti Ferita: 57\\100",
               "summary of the save with an unknown paragraph");
    HWND progress = runConversion(main, "progress-dialog-log");
    checkEqual(controlText(progress, IDC_OUTCOME),
               "Patch effettuata con successo, ma con delle frasi non tradotte",
               "outcome text with untranslated paragraphs");
    check(controlVisible(progress, IDC_VIEW_LOG) && controlEnabled(progress, IDC_VIEW_LOG),
          "\"Visualizza LOG\" shown and enabled");

    clickButton(progress, IDC_VIEW_LOG);
    HWND report = waitForWindow([progress] { return findDialogWithControl(IDC_REPORT_TEXT, progress); }, 20,
                                "the report dialog");
    checkEqual(windowText(report), std::string("File di Log per ") + UntranslatedSave, "report title");
    std::string body = controlText(report, IDC_REPORT_TEXT);
    check(body.find("- FRASI DEL JOURNAL NON TRADOTTE -") != std::string::npos,
          "report lists the untranslated paragraphs");
    check(body.find("A stranger in a grey cloak") != std::string::npos, "report holds the unknown paragraph");
    screenshot("report-dialog");
    pressEscape(report);
    check(waitUntil([&] { return !IsWindow(report); }, 10), "Escape closes the report");
    check(IsWindow(progress), "the progress dialog stays after the report");
    closeProgress(progress);
    check(fileExists(folder + "\\Saves\\" + UntranslatedSave + ".log"),
          "the log stays beside the converted save");
}

void refusedConversions(HWND main, const RemoteListView& list) {
    select(list, BetaSave);
    checkButtons(main, "Versione BETA non supportata --", "for the beta save");

    select(list, ExpansionsSave);
    checkButtons(main, "Inglese -> Italiano +-", "for the save of the expansions");
    clickButton(main, IDC_PATCH);
    HWND refusal = waitForWindow([] { return findDialog("Controllo Plugin"); }, 20, "the plugin check");
    check(showsText(refusal, "Per questa conversione \xE8 necessario avere il Master File di di Tribunal."),
          "the plugin check names the missing Tribunal master");
    screenshot("plugin-check");
    answer(refusal, IDOK);
    check(!findDialogWithControl(IDC_MASTER_LABEL), "no conversion started");
    checkButtons(main, "PATCH --", "after the message");
}

void endToEnd(const std::string& folder) {
    HWND main = mainDialog();
    screenshot("main-dialog");
    RemoteListView list(GetDlgItem(main, IDC_SAVE_LIST));
    checkStartingState(main, list, folder + "\\Saves\\");
    convertAndRestore(main, list, folder);
    showLog(main, list, folder);
    refusedConversions(main, list);
    pressEscape(main);
    check(waitUntil([&] { return !IsWindow(main); }, 10), "Escape closes the main dialog");
}

void startupMessage(const std::string& shot, const std::string& text) {
    HWND box = waitForWindow([] { return findDialog("Errore"); }, 30, "the start-up message");
    check(showsText(box, text), "message \"" + text + "\"");
    check(!findDialog(MainCaption), "no main dialog behind the message");
    screenshot(shot);
    clickButton(box, IDOK);
}

bool sameName(const std::string& shown, const std::string& name) {
    return lstrcmpiA(shown.c_str(), name.c_str()) == 0;
}

// The item of a folder path ("Z:\games\Morrowind") in the picker's tree, reached as a user reaches it: the
// computer's item that holds the drive, then each folder by name. Selecting by path (BFFM_SETSELECTION)
// is no way for a test: Wine matches the path's item IDs against the tree's, and those carry each
// folder's last access time, which the picker's own reading of a folder moves on a recently changed one.
HTREEITEM folderItem(const RemoteTreeView& tree, const std::string& path) {
    std::size_t end = path.find('\\');
    const std::string drive = "(" + path.substr(0, end) + ")";
    HTREEITEM item = nullptr;
    for (HTREEITEM top : tree.open(tree.root()))
        for (HTREEITEM child : tree.open(top)) {
            const std::string shown = tree.text(child);
            if (!item && shown.size() >= drive.size() &&
                sameName(shown.substr(shown.size() - drive.size()), drive))
                item = child;
        }
    while (item && end != std::string::npos) {
        const std::size_t begin = end + 1;
        end = path.find('\\', begin);
        const std::string name = path.substr(begin, end == std::string::npos ? end : end - begin);
        for (HTREEITEM child : tree.open(std::exchange(item, nullptr)))
            if (!item && sameName(tree.text(child), name))
                item = child;
    }
    return item;
}

// The classic folder picker: a folder selected in its tree, and its OK button returns it.
void pickFolder(const std::string& shot, const std::string& path) {
    HWND picker = waitForWindow([] { return findDialogWithControl(IDOK); }, 30, "the folder picker");
    check(showsText(picker, "Selezionare manualmente la directory di Morrowind."), "the picker's prompt");
    screenshot(shot);
    if (path == "-") {
        clickButton(picker, IDCANCEL);
        return;
    }
    RemoteTreeView tree(FindWindowExA(picker, nullptr, WC_TREEVIEWA, nullptr));
    HTREEITEM folder = folderItem(tree, path);
    if (!folder)
        throw ScenarioStopped{"the picker's tree does not reach " + path};
    tree.select(folder);
    check(tree.selection() == folder && controlEnabled(picker, IDOK),
          "the picker selects " + tree.text(folder) + " and accepts it");
    clickButton(picker, IDOK);
    check(waitUntil([&] { return !IsWindow(picker); }, 10), "OK closes the picker");
}

void closeMain(const std::string& how) {
    HWND main = mainDialog();
    if (how == "ok")
        clickButton(main, IDOK);
    else
        pressEscape(main);
    check(waitUntil([&] { return !IsWindow(main); }, 10), "the main dialog closes with " + how);
}

int run(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "prepare" && (argc == 3 || argc == 4)) {
        auto minor = static_cast<std::uint16_t>(argc == 4 ? std::atoi(argv[3]) : 6);
        // The stand-in for the game's executable lies beside the driver.
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        const std::string driver = path;
        check(writeE2eGame(argv[2], driver.substr(0, driver.find_last_of('\\') + 1) + "game-stub.exe", minor),
              std::string("write the test game in ") + argv[2]);
    } else if (command == "end-to-end" && argc == 3) {
        endToEnd(argv[2]);
    } else if (command == "message" && argc == 4) {
        startupMessage(argv[2], argv[3]);
    } else if (command == "pick-folder" && argc == 4) {
        pickFolder(argv[2], argv[3]);
    } else if (command == "close" && argc == 3) {
        closeMain(argv[2]);
    } else {
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
    } catch (const orvella::driver::ScenarioStopped& stopped) {
        std::printf("FAIL %s\n", stopped.reason.c_str());
        return 1;
    }
}
