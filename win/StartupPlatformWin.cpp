#include "win/StartupPlatformWin.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace orvella {
namespace {

class WinStartupPlatform final : public StartupPlatform {
public:
    bool windowExists(const std::string& title) override { return FindWindowA(nullptr, title.c_str()); }

    void registerCommonControls() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
    }

    bool loadLibrary(const std::string& name) override { return LoadLibraryA(name.c_str()) != nullptr; }

    // The value's size first, then the value itself into a buffer one byte longer than that size, so that
    // a value stored without its terminating NUL still ends in one.
    std::optional<std::string> readRegistryText(const std::string& key, const std::string& value) override {
        HKEY opened;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
            return std::nullopt;
        std::optional<std::string> text;
        DWORD size = 0;
        if (RegQueryValueExA(opened, value.c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
            std::vector<char> buffer(size + 1, '\0');
            if (RegQueryValueExA(opened, value.c_str(), nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(buffer.data()), &size) == ERROR_SUCCESS)
                text = std::string(buffer.data());
        }
        RegCloseKey(opened);
        return text;
    }

    bool writeRegistryText(const std::string& key, const std::string& value,
                           const std::string& text) override {
        HKEY created;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                            nullptr, &created, nullptr) != ERROR_SUCCESS)
            return false;
        bool stored =
            RegSetValueExA(created, value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
        RegCloseKey(created);
        return stored;
    }

    // The classic picker: without BIF_NEWDIALOGSTYLE it has no button that makes a new folder.
    std::optional<std::string> browseForFolder(const std::string& prompt) override {
        HRESULT initialised = CoInitialize(nullptr);
        char displayName[MAX_PATH] = {};
        BROWSEINFOA browse{};
        browse.hwndOwner = nullptr;
        browse.pidlRoot = nullptr;
        browse.pszDisplayName = displayName;
        browse.lpszTitle = prompt.c_str();
        browse.ulFlags = BIF_RETURNONLYFSDIRS;
        std::optional<std::string> folder;
        if (LPITEMIDLIST picked = SHBrowseForFolderA(&browse)) {
            char path[MAX_PATH] = {};
            if (SHGetPathFromIDListA(picked, path) && path[0] != '\0')
                folder = path;
            IMalloc* allocator = nullptr;
            if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
                allocator->Free(picked);
                allocator->Release();
            }
        }
        if (SUCCEEDED(initialised))
            CoUninitialize();
        return folder;
    }

    std::optional<FileVersion> fileVersion(const std::string& path) override {
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
        if (size == 0)
            return std::nullopt;
        std::vector<char> block(size);
        if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
            return std::nullopt;
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
            length < sizeof *fixed)
            return std::nullopt;
        return FileVersion{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                           HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
    }
};

} // namespace

StartupPlatform& win32StartupPlatform() {
    static WinStartupPlatform platform;
    return platform;
}

} // namespace orvella
