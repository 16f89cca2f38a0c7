#include "app/OpenMwSave.h"
#include "app/PathText.h"
#include "game/AsciiFold.h"

#include <cstring>
#include <string_view>

namespace orvella {
namespace {

bool isPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string_view::npos;
}

} // namespace

OpenMwSaveNameCheck checkOpenMwSaveName(const std::string& text) {
    const std::size_t slash = text.find('/');
    if (slash != std::string::npos && isPlainName(std::string_view(text).substr(0, slash)) &&
        isPlainName(std::string_view(text).substr(slash + 1)))
        return {OpenMwSaveName{text.substr(0, slash), text.substr(slash + 1)}, {}};
    return {std::nullopt,
            "\"" + text +
                "\" is not an OpenMW save name: it must be CHARACTER/SLOT.omwsave, a character's "
                "folder in saves and a save in it, with no other path"};
}

OpenMwSavePaths openMwSavePaths(const OpenMwLocations& locations, const OpenMwSaveName& name) {
    OpenMwSavePaths paths;
    paths.save = joinPath(joinPath(locations.savesFolder, name.character), name.slot);
    paths.backupFolder = joinPath(locations.backupFolder, name.character);
    paths.backup = joinPath(paths.backupFolder, name.slot + ".bak");
    std::string_view stem = name.slot;
    const std::size_t extension = std::strlen(OpenMwSaveExtension);
    if (stem.size() > extension &&
        compareFolded(stem.substr(stem.size() - extension), OpenMwSaveExtension) == 0)
        stem.remove_suffix(extension);
    paths.log = joinPath(paths.backupFolder, std::string(stem) + ".log");
    return paths;
}

} // namespace orvella
