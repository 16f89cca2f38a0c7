#pragma once

#include <climits>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>

namespace orvella {

// Paths this many bytes long or longer are refused by every step, the terminator being counted: Windows'
// MAX_PATH there (checked against <windows.h> in FileSystemWin.cpp), PATH_MAX elsewhere.
#ifdef _WIN32
inline constexpr std::size_t PathLimit = 260;
#else
inline constexpr std::size_t PathLimit = PATH_MAX;
#endif

inline bool pathTooLong(const std::string& path) {
    return path.size() >= PathLimit;
}

// The first of the paths that the platform refuses for its length, in the order given; nothing when every
// path fits.
std::optional<std::string> firstTooLongPath(std::initializer_list<std::string> paths);

} // namespace orvella
