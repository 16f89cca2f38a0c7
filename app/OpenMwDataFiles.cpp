#include "app/OpenMwDataFiles.h"
#include "app/PathText.h"
#include "game/AsciiFold.h"

#include <map>

namespace orvella {

std::vector<OpenMwDataFile> listOpenMwDataFiles(FileSystem& files, const std::vector<std::string>& folders) {
    std::map<std::string, OpenMwDataFile> byFoldedName;
    std::vector<FolderEntry> entries;
    std::string folded;
    for (const std::string& folder : folders) {
        if (!files.listFolder(folder, entries))
            continue;
        for (const FolderEntry& entry : entries) {
            if (entry.isFolder)
                continue;
            foldAsciiInto(entry.name, folded);
            byFoldedName[folded] = {entry.name, joinPath(folder, entry.name)};
        }
    }
    std::vector<OpenMwDataFile> listed;
    listed.reserve(byFoldedName.size());
    for (auto& [name, file] : byFoldedName)
        listed.push_back(std::move(file));
    return listed;
}

std::optional<std::string> findOpenMwDataFile(FileSystem& files, const std::vector<std::string>& folders,
                                              std::string_view name) {
    std::vector<FolderEntry> entries;
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        if (!files.listFolder(*folder, entries))
            continue;
        for (const FolderEntry& entry : entries)
            if (!entry.isFolder && compareFolded(entry.name, name) == 0)
                return joinPath(*folder, entry.name);
    }
    return std::nullopt;
}

} // namespace orvella
