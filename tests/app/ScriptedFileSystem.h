#pragma once

#include "platform/ForwardingFileSystem.h"

#include <optional>
#include <string>
#include <vector>

namespace orvella::test {

// The machine's files, except for what a test scripts: the listing of every folder, and moves over a locked
// file, deletions and folder creations that fail.
class ScriptedFileSystem final : public ForwardingFileSystem {
public:
    ScriptedFileSystem() : ForwardingFileSystem(nativeFileSystem()) {}

    bool replaceLockedFile(const std::string& from, const std::string& to, FileLock& lock) override {
        return !failLockedMove && base().replaceLockedFile(from, to, lock);
    }
    bool deleteFile(const std::string& path) override { return !failDelete && base().deleteFile(path); }
    bool createFolder(const std::string& path, bool& alreadyExists) override {
        alreadyExists = false;
        return !failCreateFolder && base().createFolder(path, alreadyExists);
    }
    bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override {
        listedPath = path;
        if (!listing)
            return base().listFolder(path, entries);
        entries = *listing;
        return listable;
    }
    bool listFolderChecked(const std::string& path, std::vector<FolderEntry>& entries,
                           bool& interrupted) override {
        interrupted = false;
        return listFolder(path, entries);
    }

    std::optional<std::vector<FolderEntry>> listing;
    bool listable = true;
    bool failLockedMove = false;
    bool failDelete = false;
    bool failCreateFolder = false;
    std::string listedPath;
};

} // namespace orvella::test
