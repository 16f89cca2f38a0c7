#include "app/OpenMwSaveList.h"
#include "app/OpenMwSave.h"
#include "app/PathText.h"
#include "game/AsciiFold.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace orvella {
namespace {

bool hasSaveExtension(std::string_view name) {
    const std::size_t extension = std::strlen(OpenMwSaveExtension);
    return name.size() >= extension &&
           compareFolded(name.substr(name.size() - extension), OpenMwSaveExtension) == 0;
}

// Newer first; an unknown time is older than any known one.
bool newer(const std::optional<std::int64_t>& a, const std::optional<std::int64_t>& b) {
    return a && (!b || *a > *b);
}

bool listed(FileSystem& files, const std::string& folder, std::vector<FolderEntry>& entries) {
    bool interrupted = false;
    return files.listFolderChecked(folder, entries, interrupted) && !interrupted;
}

} // namespace

OpenMwSaveListing listOpenMwSaves(FileSystem& files, const std::string& savesFolder) {
    OpenMwSaveListing listing;
    if (!files.isFolder(savesFolder))
        return listing;
    std::vector<FolderEntry> folders;
    listing.readFailed = !listed(files, savesFolder, folders);
    std::vector<FolderEntry> entries;
    for (const FolderEntry& folder : folders) {
        if (!folder.isFolder || folder.name == "." || folder.name == "..")
            continue;
        const std::string characterFolder = joinPath(savesFolder, folder.name);
        if (!listed(files, characterFolder, entries))
            listing.readFailed = true;
        OpenMwCharacter character{folder.name, {}};
        for (const FolderEntry& entry : entries)
            if (!entry.isFolder && hasSaveExtension(entry.name))
                character.slots.push_back(
                    {entry.name, files.modificationTime(joinPath(characterFolder, entry.name))});
        if (character.slots.empty())
            continue;
        std::sort(character.slots.begin(), character.slots.end(),
                  [](const OpenMwSlot& a, const OpenMwSlot& b) {
                      if (a.modificationTime != b.modificationTime)
                          return newer(a.modificationTime, b.modificationTime);
                      return a.fileName < b.fileName;
                  });
        listing.characters.push_back(std::move(character));
    }
    std::sort(listing.characters.begin(), listing.characters.end(),
              [](const OpenMwCharacter& a, const OpenMwCharacter& b) {
                  const auto& newestOfA = a.slots.front().modificationTime;
                  const auto& newestOfB = b.slots.front().modificationTime;
                  if (newestOfA != newestOfB)
                      return newer(newestOfA, newestOfB);
                  return a.name < b.name;
              });
    return listing;
}

} // namespace orvella
