#pragma once

#include <optional>
#include <string>

namespace orvella {

// What the logic needs of the user's session to find another program's files: environment variables and the
// folders the platform keeps for the user. Each answer is nothing where the platform has none to give.
class UserEnvironment {
public:
    virtual ~UserEnvironment() = default;

    // The variable's value, empty when it is set to nothing; nothing when it is not set.
    virtual std::optional<std::string> variable(const std::string& name) = 0;
    // The user's home folder: $HOME, else the user's entry in the password database, on POSIX systems;
    // the user's profile folder on Windows.
    virtual std::optional<std::string> homeFolder() = 0;
    // The shell's "My Documents" folder on Windows; nothing elsewhere.
    virtual std::optional<std::string> documentsFolder() = 0;

    // A path written in UTF-8, as another program's configuration writes it, in the text that the file
    // system's calls take, and back. Both are the same text on POSIX systems; on Windows the calls take the
    // system's code page, which may not hold every character of a UTF-8 path: nothing then.
    virtual std::optional<std::string> fileSystemPath(const std::string& utf8) { return utf8; }
    virtual std::string utf8Path(const std::string& fileSystemPath) { return fileSystemPath; }
};

// The session the program runs in.
UserEnvironment& nativeUserEnvironment();

} // namespace orvella
