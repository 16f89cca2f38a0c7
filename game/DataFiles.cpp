#include "game/DataFiles.h"

#include "game/AsciiFold.h"

namespace orvella {

namespace {} // namespace

DataFiles DataFiles::inFolder(std::string folder) {
    DataFiles data;
    data.folders_.push_back(std::move(folder));
    return data;
}

DataFiles DataFiles::inFolders(FileSystem& files, const std::vector<std::string>& folders) {
    DataFiles data;
    data.listed_ = true;
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
    if (!listed_)
        return folders_.empty() ? std::string(fileName) : folders_.front() + "\\" + std::string(fileName);
    auto found = pathByFoldedName_.find(foldedAscii(fileName));
    if (found == pathByFoldedName_.end())
        return std::nullopt;
    return found->second;
}

} // namespace orvella
