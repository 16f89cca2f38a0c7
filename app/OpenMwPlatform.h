#pragma once

namespace orvella {

// The platforms whose OpenMW keeps its files in different places. Other POSIX systems keep them as Linux
// does.
enum class OpenMwPlatform { Linux, Windows, MacOs };

// The platform this program is built for.
constexpr OpenMwPlatform nativeOpenMwPlatform() {
#if defined(_WIN32)
    return OpenMwPlatform::Windows;
#elif defined(__APPLE__)
    return OpenMwPlatform::MacOs;
#else
    return OpenMwPlatform::Linux;
#endif
}

} // namespace orvella
