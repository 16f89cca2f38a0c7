#include "ConsoleStartup.h"

#include "Commands.h"
#include "TerminalText.h"
#include "app/OpenMwLocations.h"
#include "app/OpenMwStartup.h"
#include "app/Startup.h"
#include "app/VersionResource.h"
#include "platform/FileSystem.h"
#include "platform/UserEnvironment.h"

#include <iostream>

namespace orvella::cli {

namespace {

std::string withoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    return path;
}

// The console's side of start-up. It has no windows, no report dialog and no folder picker, so it
// answers as a lone copy whose libraries are all present and whose user cancelled the picker: the
// sequence goes on to the checks that matter for a command.
class ConsoleStartupPlatform final : public StartupPlatform {
public:
    ConsoleStartupPlatform(std::optional<std::string> gameFolder, FileSystem& files)
        : gameFolder_(std::move(gameFolder)), files_(files) {}

    // No window of another copy can exist for a console command to find.
    bool windowExists(const std::string&) override { return false; }
    // There are no list views or progress bars to register.
    void registerCommonControls() override {}
    // The rich-edit library only serves the report dialog, which the console does without.
    bool loadLibrary(const std::string&) override { return true; }

    // --game stands for the registry value, so a folder given there needs no "Morrowind.exe".
    std::optional<std::string> readRegistryText(const std::string& key, const std::string& value) override {
        if (gameFolder_)
            return gameFolder_;
#ifdef _WIN32
        return readMachineRegistryText(key, value);
#else
        return std::nullopt;
#endif
    }

    // Only a picked folder is ever written, and the console never picks one.
    bool writeRegistryText(const std::string&, const std::string&, const std::string&) override {
        return false;
    }
    // No folder picker in a console: as if the user had cancelled it.
    std::optional<std::string> browseForFolder(const std::string&) override {
        return std::nullopt;
    }

    // The same resource reader on every platform, so the console's version never depends on the loader.
    std::optional<FileVersion> fileVersion(const std::string& path) override {
        auto file = files_.open(path, "rb");
        if (!file)
            return std::nullopt;
        return readFixedFileVersion(*file);
    }

private:
    std::optional<std::string> gameFolder_;
    FileSystem& files_;
};

// OpenMW's files where OpenMW finds them, or where the options say; every note on openmw.cfg is printed.
std::optional<int> startUpOpenMw(const Options& options, GameInstallation& installation,
                                 MessageBoxes& messages, FileSystem& files) {
    const OpenMwLocationsResult found =
        findOpenMwLocations({options.config, options.userData, options.game}, nativeOpenMwPlatform(),
                            nativeUserEnvironment(), files);
    if (!found.locations)
        return failure(pathText(found.error));
    for (const std::string& note : found.locations->notes)
        std::cerr << "orvella-cli: note: " << pathText(note) << "\n";
    return runOpenMwStartup(*found.locations, files, messages, installation);
}

} // namespace

std::optional<int> startUp(const Options& options, GameInstallation& installation, MessageBoxes& messages,
                           FileSystem& files) {
    if (options.openMw)
        return startUpOpenMw(options, installation, messages, files);
#ifndef _WIN32
    // Off Windows there is no registry to find the game in.
    if (!options.game)
        return usage(options.command + " needs --game DIR");
#endif
    std::optional<std::string> gameFolder;
    if (options.game)
        gameFolder = withoutTrailingSeparator(*options.game);
    ConsoleStartupPlatform platform(gameFolder, files);
    return runStartup({platform, files, messages}, installation);
}

} // namespace orvella::cli
