#include "app/Startup.h"

#include "app/DataFileProbe.h"
#include "game/UserTexts.h"
#include "platform/PathLimit.h"

#include <vector>

namespace orvella {

namespace {

// The pattern by which Windows' file system tells a folder: its length is checked as it always has been.
constexpr const char* AnyEntry = "*.*";

class Sequence {
public:
    Sequence(StartupServices services, GameInstallation& installation)
        : platform_(services.platform), files_(services.files), messages_(services.messages),
          installation_(installation) {}

    std::optional<int> run() {
        installation_ = GameInstallation{};
        if (platform_.windowExists(OtherCopyWindowTitle))
            return 0;
        platform_.registerCommonControls();
        if (!platform_.loadLibrary(RichEditLibraryName))
            return 0;
        if (auto exitCode = locateGame())
            return exitCode;
        if (auto exitCode = checkVersion())
            return exitCode;
        if (!files_.isFolder(path() + DataFilesFolder))
            return stop(texts::NoDataFolder);
        if (!files_.isFolder(path() + SavesFolder))
            return stop(texts::NoSavesFolder);
        bool alreadyExists = false;
        if (!files_.createFolder(path() + BackupFolder, alreadyExists) && !alreadyExists)
            return stop(texts::NoBackupFolder);
        installation_.installed(Game::Tribunal).pluginName = tribunalPluginNameFor(installation_.gameVersion);
        probeGameFiles();
        if (!installation_.installed(Game::Base).hasMaster)
            return stop(texts::NoMorrowindMasterFile);
        if (!installation_.installed(Game::Base).hasPlugin)
            return stop(texts::NoMorrowindTranslation);
        return std::nullopt;
    }

private:
    const std::string& path() const { return installation_.installPath; }

    int stop(const std::string& text, MessageIcon icon = MessageIcon::Warning) {
        messages_.show(Message{text, texts::ErrorCaption, icon, MessageButtons::Ok, nullptr});
        installation_.installPath.clear();
        return StartupCheckFailed;
    }

    // The registry first; the folder picker only when the registry names no folder. A picked folder must
    // hold the game's executable before it is remembered in the registry.
    std::optional<int> locateGame() {
        if (auto registered = platform_.readRegistryText(GameRegistryKey, InstalledPathValue)) {
            installation_.installPath = *registered;
            return checkPathLengths();
        }
        auto picked = platform_.browseForFolder(texts::FolderPickerPrompt);
        if (!picked)
            return stop(texts::NoFolderPicked);
        installation_.installPath = *picked;
        if (auto exitCode = checkPathLengths())
            return exitCode;
        if (!files_.exists(path() + "\\" + GameExecutableName))
            return stop(texts::NoGameInFolder);
        // Not being able to remember the folder only means asking again next time.
        platform_.writeRegistryText(GameRegistryKey, InstalledPathValue, path());
        return std::nullopt;
    }

    // Every path start-up forms in the game folder, in the order it forms them, must fit the platform's
    // limit, which the scan of every conversion applies too: one that does not is named, instead of passing
    // for a folder or a file that is missing.
    std::optional<int> checkPathLengths() {
        const std::string data = path() + DataFilesFolder;
        std::vector<std::string> paths = {path() + "\\" + GameExecutableName, data + AnyEntry,
                                          path() + SavesFolder + AnyEntry, path() + BackupFolder};
        for (Game game : AllGames)
            paths.push_back(data + masterFileName(game));
        for (Game game : AllGames)
            paths.push_back(data + pluginFileName(game));
        for (const std::string& formed : paths)
            if (auto tooLong = firstTooLongPath({formed}))
                return stop(texts::tooLongPath(*tooLong));
        return std::nullopt;
    }

    // Without an executable or a version resource the version stays 0.0.0.0 and is not checked.
    std::optional<int> checkVersion() {
        auto version = platform_.fileVersion(path() + "\\" + GameExecutableName);
        if (!version)
            return std::nullopt;
        if (version->mostSignificant() < MinimumGameVersion)
            return stop(texts::GameTooOld, MessageIcon::Error);
        installation_.gameVersion = {version->major, version->minor, version->build, version->revision};
        return std::nullopt;
    }

    void probeGameFiles() {
        for (Game game : AllGames)
            installation_.installed(game).hasMaster =
                probeDataFile(files_, installation_, masterFileName(game));
        for (Game game : AllGames) {
            InstalledGame& installed = installation_.installed(game);
            installed.hasPlugin =
                probeDataFile(files_, installation_, installed.pluginName, &installed.pluginSize);
        }
    }

    StartupPlatform& platform_;
    FileSystem& files_;
    MessageBoxes& messages_;
    GameInstallation& installation_;
};

} // namespace

std::optional<int> runStartup(StartupServices services, GameInstallation& installation) {
    return Sequence(services, installation).run();
}

} // namespace orvella
