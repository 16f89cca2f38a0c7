#include "platform/UserEnvironment.h"

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
};

} // namespace

UserEnvironment& nativeUserEnvironment() {
    static WinUserEnvironment environment;
    return environment;
}

} // namespace orvella
