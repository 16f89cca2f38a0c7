#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orvella {

// The fixed file version of an executable: major and minor form its most significant 32 bits,
// build and revision its least significant ones.
struct FileVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t build = 0;
    std::uint16_t revision = 0;

    std::uint32_t mostSignificant() const { return static_cast<std::uint32_t>(major) << 16 | minor; }
};

// What start-up needs of the platform beyond files and message boxes. Registry keys live under
// HKEY_LOCAL_MACHINE; the logic passes every name, so an implementation holds none of its own.
class StartupPlatform {
public:
    virtual ~StartupPlatform() = default;

    // True when a top-level window with exactly this title exists.
    virtual bool windowExists(const std::string& title) = 0;
    // Registers the list-view and progress-bar control classes.
    virtual void registerCommonControls() = 0;
    // Loads a library for the rest of the run; false when it cannot be loaded.
    virtual bool loadLibrary(const std::string& name) = 0;
    // The string value, or nothing when the key or the value cannot be read.
    virtual std::optional<std::string> readRegistryText(const std::string& key, const std::string& value) = 0;
    // Creates or opens the key with write access and stores the string value; false on any failure.
    virtual bool writeRegistryText(const std::string& key, const std::string& value,
                                   const std::string& text) = 0;
    // The system folder picker without owner, root or new-folder button: the picked folder's file-system
    // path, or nothing when the user cancelled or the choice has no such path.
    virtual std::optional<std::string> browseForFolder(const std::string& prompt) = 0;
    // The fixed file version from the executable's version resource; nothing when the file or the
    // resource is missing or cannot be read.
    virtual std::optional<FileVersion> fileVersion(const std::string& path) = 0;
};

} // namespace orvella
