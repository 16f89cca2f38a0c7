#include "app/DataFileProbe.h"

namespace orvella {

bool probeDataFile(FileSystem& files, const GameInstallation& installation, const std::string& fileName,
                   std::uint32_t* sizeOut) {
    const std::optional<std::string> path = installation.dataFilePath(fileName);
    auto file = path ? files.open(*path, "rb") : nullptr;
    if (!file)
        return false;
    if (sizeOut) {
        // The length is what the seek to the end reports; a file that cannot be measured counts as empty.
        std::int64_t length = fileLength(*file);
        *sizeOut = length > 0 ? static_cast<std::uint32_t>(length) : 0;
    }
    file->close();
    return true;
}

} // namespace orvella
