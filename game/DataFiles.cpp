#include "game/DataFiles.h"

#include "game/AsciiFold.h"

namespace orvella {

DataFiles DataFiles::inFolders(FileSystem& files, const std::vector<std::string>& folders) {
    DataFiles data;
    data.folders_ = folders;
    for (const std::string& folder : folders) {
        std::vector<FolderEntry> entries;
        if (!files.listFolder(folder, entries))
            continue;
        for (const FolderEntry& entry : entries)
            if (!entry.isFolder)
                data.pathByFoldedName_[foldedAscii(entry.name)] = folder + "\\" + entry.name;
    }
    return data;
}

std::optional<std::string> DataFiles::pathOf(std::string_view fileName) const {
    auto found = pathByFoldedName_.find(foldedAscii(fileName));
    if (found == pathByFoldedName_.end())
        return std::nullopt;
    return found->second;
}

} // namespace orvella
