#pragma once

#include <string>
#include <string_view>

namespace orvella {

inline bool isPathSeparator(char c) {
    return c == '\\' || c == '/';
}

// The path written as the logic writes every path, with "\\" between names; a POSIX file system maps them
// back.
inline std::string withBackslashes(std::string path) {
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// The name inside the folder, with one "\\" between them however either is written at the joint.
inline std::string joinPath(std::string_view folder, std::string_view name) {
    while (folder.size() > 1 && isPathSeparator(folder.back()))
        folder.remove_suffix(1);
    while (!name.empty() && isPathSeparator(name.front()))
        name.remove_prefix(1);
    if (folder.empty())
        return withBackslashes(std::string(name));
    std::string joined = withBackslashes(std::string(folder));
    if (joined.back() != '\\')
        joined += '\\';
    return joined + withBackslashes(std::string(name));
}

// The folder that holds the path, "." when the path names none.
inline std::string folderOfPath(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    if (separator == std::string_view::npos)
        return ".";
    return withBackslashes(std::string(path.substr(0, separator == 0 ? 1 : separator)));
}

} // namespace orvella
