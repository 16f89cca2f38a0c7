#pragma once

#include "platform/FileSystem.h"

#include <set>
#include <string>

namespace orvella::test {

// The machine's file system, except for the operations a test tells to fail.
class FailingFileSystem final : public FileSystem {
public:
    enum class Fault { Copy, Replace, Delete, ShortWrite, Close };

    void failOn(Fault fault) { faults_.insert(fault); }

    std::unique_ptr<File> open(const std::string& path, const char* mode) override;
    bool copyFile(const std::string& from, const std::string& to, bool overwrite) override {
        return !faults_.count(Fault::Copy) && base_.copyFile(from, to, overwrite);
    }
    bool replaceFile(const std::string& from, const std::string& to) override {
        return !faults_.count(Fault::Replace) && base_.replaceFile(from, to);
    }
    bool deleteFile(const std::string& path) override {
        return !faults_.count(Fault::Delete) && base_.deleteFile(path);
    }
    bool exists(const std::string& pattern) override { return base_.exists(pattern); }
    bool createFolder(const std::string& path, bool& alreadyExists) override {
        return base_.createFolder(path, alreadyExists);
    }
    bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override {
        return base_.listFolder(path, entries);
    }

private:
    FileSystem& base_ = nativeFileSystem();
    std::set<Fault> faults_;
};

} // namespace orvella::test
