#include "app/Startup.h"
#include "app/resource.h"
#include "game/UserTexts.h"
#include "translate/TableFile.h"
#include "win/DialogsWin.h"
#include "win/MessageBoxesWin.h"
#include "win/StartupPlatformWin.h"

namespace orvella {
namespace {

constexpr const char* TableFolderName = "Tabelle";

// The folder "Tabelle" beside the program's executable, or nothing when there is no such folder.
std::string tableFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::string folder(path, length);
    folder.erase(folder.find_last_of('\\') + 1);
    folder += TableFolderName;
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    return folder;
}

int run(HINSTANCE instance) {
    DesktopSession& session = desktopSession();
    session.instance = instance;
    session.files = &nativeFileSystem();
    session.messages = &win32MessageBoxes();
    if (std::optional<int> exitCode =
            runStartup({win32StartupPlatform(), *session.files, *session.messages}, session.installation))
        return *exitCode;
    // Topic tables in a folder beside the program replace the built-in ones, file by file.
    TableSet tables;
    if (std::string folder = tableFolder(); !folder.empty()) {
        TableFileError error;
        if (!tables.loadFolder(*session.files, folder, error)) {
            session.messages->show(Message{error.message(), texts::ErrorCaption, MessageIcon::Error,
                                           MessageButtons::Ok, nullptr});
            return StartupCheckFailed;
        }
        session.tables = &tables.tables();
    }
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, mainDialogProcedure, 0);
    session.tables = nullptr;
    return result == -1 ? StartupCheckFailed : static_cast<int>(result);
}

} // namespace
} // namespace orvella

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return orvella::guarded([&] { return orvella::run(instance); });
}
