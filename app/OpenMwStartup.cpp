#include "app/OpenMwStartup.h"

#include "app/DataFileProbe.h"
#include "app/Startup.h"
#include "game/UserTexts.h"

namespace orvella {

std::optional<int> runOpenMwStartup(const OpenMwLocations& locations, FileSystem& files,
                                    MessageBoxes& messages, GameInstallation& installation) {
    installation = GameInstallation{};
    installation.saveKind = SaveKind::OpenMw;
    installation.userDataFolder = locations.userData;
    installation.dataFiles = DataFiles::inFolders(files, locations.dataFolders);
    // OpenMW has no executable whose version would tell the Tribunal plugin's name.
    installation.installed(Game::Tribunal).pluginName = TribunalPluginName;
    auto stop = [&](const char* text) {
        messages.show(Message{text, texts::ErrorCaption, MessageIcon::Warning, MessageButtons::Ok, nullptr});
        return StartupCheckFailed;
    };
    if (!files.isFolder(locations.savesFolder))
        return stop(texts::NoSavesFolder);
    for (Game game : AllGames) {
        InstalledGame& installed = installation.installed(game);
        installed.hasMaster = probeDataFile(files, installation, masterFileName(game));
        installed.hasPlugin = probeDataFile(files, installation, installed.pluginName, &installed.pluginSize);
    }
    if (!installation.installed(Game::Base).hasMaster)
        return stop(texts::NoMorrowindMasterFile);
    if (!installation.installed(Game::Base).hasPlugin)
        return stop(texts::NoMorrowindTranslation);
    return std::nullopt;
}

} // namespace orvella
