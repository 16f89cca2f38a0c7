#include "ConsoleStartup.h"

#include <windows.h>

#include <vector>

namespace orvella::cli {

std::optional<std::string> readMachineRegistryText(const std::string& key, const std::string& value) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return std::nullopt;
    std::optional<std::string> text;
    DWORD size = 0;
    if (RegQueryValueExA(handle, value.c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        // One byte more than asked for, so that a value stored without its NUL still ends in one.
        std::vector<char> buffer(size + 1, '\0');
        DWORD read = size;
        if (RegQueryValueExA(handle, value.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()),
                             &read) == ERROR_SUCCESS)
            text = std::string(buffer.data());
    }
    RegCloseKey(handle);
    return text;
}

} // namespace orvella::cli
