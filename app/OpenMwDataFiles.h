#pragma once

#include "platform/FileSystem.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

// A file of the game as OpenMW sees it through its data folders.
struct OpenMwDataFile {
    std::string name; // as the folder that gives it spells it
    std::string path;
};

// Every file that the data folders hold, in the order of their names with A to Z folded: a later folder's
// file takes the place of an earlier one's of the same name, A to Z compared without regard to case, as
// OpenMW's file collections do. A folder that cannot be listed gives nothing.
std::vector<OpenMwDataFile> listOpenMwDataFiles(FileSystem& files, const std::vector<std::string>& folders);

// The path of the file of that name (A to Z compared without regard to case) in the last of the folders that
// holds one; nothing when none does.
std::optional<std::string> findOpenMwDataFile(FileSystem& files, const std::vector<std::string>& folders,
                                              std::string_view name);

} // namespace orvella
