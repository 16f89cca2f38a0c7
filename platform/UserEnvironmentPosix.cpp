#include "platform/UserEnvironment.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace orvella {
namespace {

class PosixUserEnvironment final : public UserEnvironment {
public:
    std::optional<std::string> variable(const std::string& name) override {
        const char* value = std::getenv(name.c_str());
        if (!value)
            return std::nullopt;
        return std::string(value);
    }

    // An empty $HOME names no folder, so the password database answers then too.
    std::optional<std::string> homeFolder() override {
        if (std::optional<std::string> home = variable("HOME"); home && !home->empty())
            return home;
        long size = sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
        passwd entry{};
        passwd* found = nullptr;
        if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
            !found->pw_dir || found->pw_dir[0] == '\0')
            return std::nullopt;
        return std::string(found->pw_dir);
    }

    std::optional<std::string> documentsFolder() override { return std::nullopt; }
};

} // namespace

UserEnvironment& nativeUserEnvironment() {
    static PosixUserEnvironment environment;
    return environment;
}

} // namespace orvella
