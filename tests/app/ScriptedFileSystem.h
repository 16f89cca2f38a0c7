#pragma once

#include "platform/FileSystem.h"

#include <optional>
#include <string>
#include <vector>

namespace orvella::test {

// The machine's files, except for what a test scripts: the listing of every folder, and copies, deletions and
// folder creations that fail.
class ScriptedFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, const char* mode) override {
        return base_.open(path, mode);
    }
    bool copyFile(const std::string& from, const std::string& to, bool overwrite) override {
        return !failCopy && base_.copyFile(from, to, overwrite);
    }
    bool replaceFile(const std::string& from, const std::string& to) override {
        return base_.replaceFile(from, to);
    }
    bool deleteFile(const std::string& path) override { return !failDelete && base_.deleteFile(path); }
    bool exists(const std::string& pattern) override { return base_.exists(pattern); }
    bool createFolder(const std::string& path, bool& alreadyExists) override {
        alreadyExists = false;
        return !failCreateFolder && base_.createFolder(path, alreadyExists);
    }
    bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override {
        listedPath = path;
        if (!listing)
            return base_.listFolder(path, entries);
        entries = *listing;
        return listable;
    }

    std::optional<std::vector<FolderEntry>> listing;
    bool listable = true;
    bool failCopy = false;
    bool failDelete = false;
    bool failCreateFolder = false;
    std::string listedPath;

private:
    FileSystem& base_ = nativeFileSystem();
};

} // namespace orvella::test
