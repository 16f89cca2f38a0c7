#include "app/OpenMwConfig.h"
#include "app/PathText.h"

namespace orvella {
namespace {

constexpr std::string_view WhiteSpace = " \t\r\n";

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(WhiteSpace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(WhiteSpace) - first + 1);
}

// A value as OpenMW reads a path: one that begins with '"' ends at the next '"' that "&" does not escape (an
// "&" takes the next character as it is), and whatever follows is dropped; any other value is the path
// itself.
struct PathValue {
    std::string path;
    bool textAfterQuote = false;
};

PathValue readPathValue(std::string_view value) {
    if (value.empty() || value.front() != '"')
        return {std::string(value), false};
    PathValue read;
    for (std::size_t at = 1; at < value.size(); ++at) {
        if (value[at] == '&') {
            if (++at == value.size())
                break;
        } else if (value[at] == '"') {
            read.textAfterQuote = at + 1 < value.size();
            break;
        }
        read.path += value[at];
    }
    return read;
}

// The drive ("C:") or the server ("\\\\server") that begins the Windows path; empty when it begins with
// neither.
std::string_view windowsRootName(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':')
        return path.substr(0, 2);
    if (path.size() >= 2 && isPathSeparator(path[0]) && isPathSeparator(path[1]))
        return path.substr(0, path.find_first_of("\\/", 2));
    return {};
}

// OpenMW takes a relative path from the folder of the file that names it. On Windows a path that begins with
// one separator keeps to that folder's drive, and one that begins with a drive is taken as it is, as
// std::filesystem joins them.
std::string fromConfigFolder(const std::string& path, const std::string& configFolder,
                             OpenMwPlatform platform) {
    if (platform != OpenMwPlatform::Windows)
        return isPathSeparator(path.front()) ? withBackslashes(path) : joinPath(configFolder, path);
    if (!windowsRootName(path).empty())
        return withBackslashes(path);
    if (isPathSeparator(path.front()))
        return withBackslashes(std::string(windowsRootName(configFolder)) + path);
    return joinPath(configFolder, path);
}

class ConfigReader {
public:
    ConfigReader(const std::string& configPath, OpenMwPlatform platform, const OpenMwTokens& tokens)
        : configFolder_(folderOfPath(configPath)), platform_(platform), tokens_(tokens) {}

    void readLine(std::string_view line) {
        ++lineNumber_;
        const std::size_t first = line.find_first_not_of(WhiteSpace);
        if (first == std::string_view::npos || line[first] == '#')
            return;
        line_ = trimmed(line);
        // A section names the keys after it as "section.key", which are none of those read here.
        if (line_.size() >= 2 && line_.front() == '[' && line_.back() == ']') {
            section_ = std::string(line_.substr(1, line_.size() - 2));
            if (section_.empty() || section_.back() != '.')
                section_ += '.';
            return;
        }
        const std::size_t equals = line_.find('=');
        if (equals == std::string_view::npos) {
            addNote({},
                    "is passed over: it is neither a setting, a section nor a comment (OpenMW refuses such a "
                    "file)");
            return;
        }
        const std::string key = section_ + std::string(trimmed(line_.substr(0, equals)));
        const std::string_view value = trimmed(line_.substr(equals + 1));
        if (key == "data") {
            if (std::optional<std::string> folder = resolve(key, value))
                config_.dataFolders.push_back(std::move(*folder));
        } else if (key == "data-local" || key == "user-data") {
            readSingle(key, value);
        } else if (key == "config") {
            addNote(key, "is not followed: Orvella reads one openmw.cfg");
        }
    }

    OpenMwConfig finish() {
        if (dataLocal_.value)
            config_.dataFolders.push_back(*dataLocal_.value);
        config_.userData = userData_.value;
        return std::move(config_);
    }

private:
    // A setting that OpenMW takes once per file; the last one is kept.
    struct Single {
        std::optional<std::string> value;
        int line = 0;
    };

    void readSingle(const std::string& key, std::string_view value) {
        Single& single = key == "user-data" ? userData_ : dataLocal_;
        std::optional<std::string> folder = resolve(key, value);
        if (!folder)
            return;
        if (single.line != 0)
            addNote(key, "takes the place of line " + std::to_string(single.line) +
                             " (OpenMW refuses a file that gives " + key + "= twice)");
        single = {std::move(folder), lineNumber_};
    }

    std::optional<std::string> resolve(const std::string& key, std::string_view value) {
        PathValue read = readPathValue(value);
        if (read.textAfterQuote)
            addNote(key, "is read up to its closing quote, and the rest is ignored as OpenMW ignores it");
        const std::string& path = read.path;
        if (path.empty()) {
            addNote(key, "is passed over: it names no folder");
            return std::nullopt;
        }
        if (path.front() != '?')
            return fromConfigFolder(path, configFolder_, platform_);
        const std::size_t tokenEnd = path.find('?', 1);
        if (tokenEnd == std::string::npos) {
            addNote(key, "is passed over: its token has no closing \"?\"");
            return std::nullopt;
        }
        const std::string token = path.substr(0, tokenEnd + 1);
        const std::optional<std::string>* folder = token == "?userdata?"     ? &tokens_.userData
                                                   : token == "?userconfig?" ? &tokens_.userConfig
                                                   : token == "?local?"      ? &tokens_.local
                                                   : token == "?global?"     ? &tokens_.global
                                                                             : nullptr;
        if (!folder) {
            addNote(key, "is passed over: OpenMW knows no token " + token);
            return std::nullopt;
        }
        if (!*folder) {
            addNote(key, "is passed over: the folder " + token + " stands for is not known here");
            return std::nullopt;
        }
        const std::string rest = path.substr(tokenEnd + 1);
        return rest.empty() ? withBackslashes(**folder) : joinPath(**folder, rest);
    }

    void addNote(const std::string& key, const std::string& what) {
        config_.notes.push_back({key, "openmw.cfg line " + std::to_string(lineNumber_) + " (" +
                                          std::string(line_) + ") " + what});
    }

    std::string configFolder_;
    OpenMwPlatform platform_;
    const OpenMwTokens& tokens_;
    OpenMwConfig config_;
    int lineNumber_ = 0;
    std::string_view line_;
    std::string section_;
    Single dataLocal_;
    Single userData_;
};

} // namespace

OpenMwConfig parseOpenMwConfig(std::string_view text, const std::string& configPath, OpenMwPlatform platform,
                               const OpenMwTokens& tokens) {
    ConfigReader reader(configPath, platform, tokens);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        reader.readLine(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return reader.finish();
}

} // namespace orvella
