#pragma once

#include "platform/File.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvella {

struct FolderEntry {
    std::string name;
    bool isFolder = false;
};

// What the logic needs of the platform's files and folders. Paths are written as on Windows
// ("C:\\Games\\Morrowind\\Saves\\x.ess"); a non-Windows implementation maps the backslashes.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens with a C stream mode ("rb", "wb", "w", "rb+"); text modes store "\n" as "\r\n" on every
    // platform. Returns null when the file cannot be opened or the path is too long.
    virtual std::unique_ptr<File> open(const std::string& path, const char* mode) = 0;
    virtual bool copyFile(const std::string& from, const std::string& to, bool overwrite) = 0;
    // Moves a complete file over another one in a single step where the platform allows it.
    virtual bool replaceFile(const std::string& from, const std::string& to) = 0;
    virtual bool deleteFile(const std::string& path) = 0;
    // True when the pattern ("...\\*.*" or a file path) matches at least one entry.
    virtual bool exists(const std::string& pattern) = 0;
    // False when the folder could not be created; alreadyExists tells that case apart.
    virtual bool createFolder(const std::string& path, bool& alreadyExists) = 0;
    // Lists a folder in the platform's listing order; false when it cannot be listed at all.
    virtual bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) = 0;
    // Like listFolder, and tells whether the listing broke off on a read error after it had begun; the
    // entries then hold what was listed before the error. A platform that cannot tell keeps this default,
    // which reports no such error.
    virtual bool listFolderChecked(const std::string& path, std::vector<FolderEntry>& entries,
                                   bool& interrupted) {
        interrupted = false;
        return listFolder(path, entries);
    }
};

// The file system of the machine the program runs on.
FileSystem& nativeFileSystem();

// Reads a whole file; false when it cannot be opened or read completely.
bool readWholeFile(FileSystem& files, const std::string& path, std::vector<std::uint8_t>& bytes);

} // namespace orvella
