#include "platform/UserEnvironment.h"

#include <string>
#include <vector>
#include <windows.h>

#include <shlobj.h>

namespace orvella {
namespace {

// The folder of the shell's kind (CSIDL_...), as it stands now; nothing when the shell knows none.
std::optional<std::string> shellFolder(int kind) {
    char path[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, kind, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK || path[0] == '\0')
        return std::nullopt;
    return std::string(path);
}

class WinUserEnvironment final : public UserEnvironment {
public:
    // A variable set to nothing reads as 0 characters too; only ERROR_ENVVAR_NOT_FOUND says it is unset.
    std::optional<std::string> variable(const std::string& name) override {
        std::vector<char> value(256);
        for (;;) {
            SetLastError(ERROR_SUCCESS);
            DWORD length =
                GetEnvironmentVariableA(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
            if (length == 0) {
                if (GetLastError() == ERROR_ENVVAR_NOT_FOUND)
                    return std::nullopt;
                return std::string();
            }
            if (length < value.size())
                return std::string(value.data(), length);
            value.resize(length);
        }
    }

    std::optional<std::string> homeFolder() override {
        if (std::optional<std::string> profile = variable("USERPROFILE"); profile && !profile->empty())
            return profile;
        return shellFolder(CSIDL_PROFILE);
    }

    std::optional<std::string> documentsFolder() override { return shellFolder(CSIDL_PERSONAL); }

    std::optional<std::string> fileSystemPath(const std::string& utf8) override {
        const std::wstring wide = widened(CP_UTF8, utf8, MB_ERR_INVALID_CHARS);
        if (wide.empty() != utf8.empty())
            return std::nullopt;
        BOOL lost = FALSE;
        std::string narrow = narrowed(wide, WC_NO_BEST_FIT_CHARS, &lost);
        if (lost || narrow.empty() != wide.empty())
            return std::nullopt;
        return narrow;
    }

    std::string utf8Path(const std::string& fileSystemPath) override {
        const std::wstring wide = widened(CP_ACP, fileSystemPath, 0);
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                             0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
        if (size > 0)
            WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size,
                                nullptr, nullptr);
        return utf8;
    }

private:
    static std::wstring widened(UINT codePage, const std::string& text, DWORD flags) {
        const int size =
            MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
        if (size > 0)
            MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), wide.data(),
                                size);
        return wide;
    }
    // The wide text in the system's code page; lost tells whether a character had to be replaced.
    static std::string narrowed(const std::wstring& wide, DWORD flags, BOOL* lost) {
        const int size = WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()),
                                             nullptr, 0, nullptr, lost);
        std::string narrow(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
        if (size > 0)
            WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()), narrow.data(),
                                size, nullptr, lost);
        return narrow;
    }
};

} // namespace

UserEnvironment& nativeUserEnvironment() {
    static WinUserEnvironment environment;
    return environment;
}

} // namespace orvella
