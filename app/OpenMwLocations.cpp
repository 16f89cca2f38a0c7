#include "app/OpenMwLocations.h"
#include "app/OpenMwConfig.h"
#include "app/PathText.h"

#include <cstdint>

namespace orvella {
namespace {

const char* const GiveGame = "give --game DIR, the folder that holds \"Data Files\"";

std::optional<std::string> within(const std::optional<std::string>& folder, const char* name) {
    if (!folder)
        return std::nullopt;
    return joinPath(*folder, name);
}

// An XDG variable set to nothing counts as unset, as OpenMW counts it.
std::optional<std::string> xdgFolder(UserEnvironment& environment, const char* variable,
                                     const std::optional<std::string>& home, const char* underHome) {
    std::optional<std::string> value = environment.variable(variable);
    if (value && !value->empty())
        return withBackslashes(*value);
    return within(home, underHome);
}

// Why the platform's default folders may be unknown.
const char* missingFolderReason(OpenMwPlatform platform) {
    return platform == OpenMwPlatform::Windows ? "the Documents folder is not known"
                                               : "the home folder is not known";
}

// The openmw.cfg read, or nothing when none was needed or found; error when one was needed and not read.
struct ConfigReading {
    std::optional<std::string> path;
    std::optional<OpenMwConfig> config;
    std::string error;
};

ConfigReading readConfig(const OpenMwOptions& options, OpenMwPlatform platform,
                         const OpenMwDefaultFolders& defaults, UserEnvironment& environment,
                         FileSystem& files) {
    ConfigReading reading;
    // With both --game and --user-data, nothing in openmw.cfg is used.
    if (options.game && options.userData)
        return reading;
    const std::optional<std::string> path =
        options.config ? withBackslashes(*options.config) : within(defaults.config, OpenMwConfigFileName);
    if (!path) {
        if (!options.game)
            reading.error = std::string("cannot tell where openmw.cfg is, as ") +
                            missingFolderReason(platform) + ": give --config FILE, or " + GiveGame;
        return reading;
    }
    if (!files.exists(*path) || files.isFolder(*path)) {
        if (options.config)
            reading.error = "no openmw.cfg at " + *path + ", the file given with --config";
        else if (!options.game)
            reading.error = "no openmw.cfg at " + *path + ": " + GiveGame;
        return reading;
    }
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(files, *path, bytes)) {
        reading.error = "cannot read openmw.cfg at " + *path;
        return reading;
    }
    // openmw.cfg is UTF-8: its paths are resolved in UTF-8, then written as the file system takes them.
    auto utf8 = [&](const std::optional<std::string>& folder) {
        return folder ? std::optional(environment.utf8Path(*folder)) : std::nullopt;
    };
    const OpenMwTokens tokens{.userData = utf8(defaults.userData), .userConfig = utf8(defaults.config)};
    reading.path = path;
    reading.config =
        parseOpenMwConfig(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                          environment.utf8Path(*path), platform, tokens);
    auto unwritable = [&](const std::string& folder) {
        reading.config->notes.push_back(
            {"", "the folder " + folder +
                     " of openmw.cfg is passed over: its name cannot be written in the "
                     "system's code page"});
    };
    std::vector<std::string> folders;
    for (const std::string& folder : reading.config->dataFolders)
        if (std::optional<std::string> written = environment.fileSystemPath(folder))
            folders.push_back(*written);
        else
            unwritable(folder);
    reading.config->dataFolders = std::move(folders);
    if (const std::optional<std::string> userData = reading.config->userData) {
        reading.config->userData = environment.fileSystemPath(*userData);
        if (!reading.config->userData)
            unwritable(*userData);
    }
    return reading;
}

} // namespace

OpenMwDefaultFolders openMwDefaultFolders(OpenMwPlatform platform, UserEnvironment& environment) {
    if (platform == OpenMwPlatform::Windows) {
        const std::optional<std::string> openMw =
            within(within(environment.documentsFolder(), "My Games"), "OpenMW");
        return {openMw, openMw};
    }
    const std::optional<std::string> home = environment.homeFolder();
    if (platform == OpenMwPlatform::MacOs)
        return {within(within(home, "Library\\Preferences"), "openmw"),
                within(within(home, "Library\\Application Support"), "openmw")};
    return {within(xdgFolder(environment, "XDG_CONFIG_HOME", home, ".config"), "openmw"),
            within(xdgFolder(environment, "XDG_DATA_HOME", home, ".local\\share"), "openmw")};
}

OpenMwLocationsResult findOpenMwLocations(const OpenMwOptions& options, OpenMwPlatform platform,
                                          UserEnvironment& environment, FileSystem& files) {
    const OpenMwDefaultFolders defaults = openMwDefaultFolders(platform, environment);
    ConfigReading reading = readConfig(options, platform, defaults, environment, files);
    if (!reading.error.empty())
        return {std::nullopt, reading.error};

    OpenMwLocations locations;
    locations.configFile = reading.path;
    if (reading.config)
        for (const OpenMwConfigNote& note : reading.config->notes)
            if (note.key == "config" || note.key.empty() ||
                (note.key == "user-data" ? !options.userData : !options.game))
                locations.notes.push_back(note.text);

    if (options.game) {
        locations.dataFolders.push_back(joinPath(*options.game, "Data Files"));
    } else {
        for (const std::string& folder : reading.config->dataFolders) {
            if (files.isFolder(folder))
                locations.dataFolders.push_back(folder);
            else
                locations.notes.push_back("the data folder " + folder +
                                          " does not exist and is passed over, as OpenMW passes it over");
        }
        if (locations.dataFolders.empty())
            return {std::nullopt, "openmw.cfg at " + *reading.path + " names no data folder" +
                                      (reading.config->dataFolders.empty() ? "" : " that exists") + ": " +
                                      GiveGame};
    }

    if (options.userData)
        locations.userData = withBackslashes(*options.userData);
    else if (reading.config && reading.config->userData)
        locations.userData = *reading.config->userData;
    else if (defaults.userData)
        locations.userData = *defaults.userData;
    else
        return {std::nullopt, std::string("cannot tell where OpenMW keeps its saves, as ") +
                                  missingFolderReason(platform) + ": give --user-data DIR"};
    locations.savesFolder = joinPath(locations.userData, OpenMwSavesFolderName);
    locations.backupFolder = joinPath(locations.userData, OpenMwBackupFolderName);
    return {std::move(locations), {}};
}

} // namespace orvella
