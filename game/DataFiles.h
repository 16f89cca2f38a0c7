#pragma once

#include "platform/FileSystem.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvella {

// Where the game's masters and plugins are found. The original engine reads them from the game folder's
// "Data Files", by the names given. OpenMW reads them from its data folders in order, a later folder's file
// taking the place of an earlier one's of the same name, the names compared without regard to ASCII case.
class DataFiles {
public:
    // The files that the folders hold, each listed once now; a folder that cannot be listed adds none.
    static DataFiles inFolders(FileSystem& files, const std::vector<std::string>& folders);

    const std::vector<std::string>& folders() const { return folders_; }
    // The path the file is read from: the last of the folders that holds it, or nothing when none does.
    std::optional<std::string> pathOf(std::string_view fileName) const;

private:
    std::vector<std::string> folders_;
    std::unordered_map<std::string, std::string> pathByFoldedName_;
};

} // namespace orvella
