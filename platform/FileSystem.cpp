#include "platform/FileSystem.h"

namespace orvella {

bool readWholeFile(FileSystem& files, const std::string& path, std::vector<std::uint8_t>& bytes) {
    auto file = files.open(path, "rb");
    std::int64_t size = file ? fileLength(*file) : -1;
    if (size < 0 || !file->seek(0, SeekOrigin::Begin))
        return false;
    bytes.resize(static_cast<std::size_t>(size));
    return file->read(bytes.data(), bytes.size()) == bytes.size();
}

bool makeFolders(FileSystem& files, const std::string& path) {
    for (std::size_t end = path.find_first_of("\\/", 1);; end = path.find_first_of("\\/", end + 1)) {
        bool alreadyExists = false;
        files.createFolder(path.substr(0, end), alreadyExists);
        if (end == std::string::npos)
            return files.isFolder(path);
    }
}

} // namespace orvella
