#include "FaultInjectingFileSystem.h"

#include <cstring>
#include <vector>

namespace orvella::test {

namespace {

class FaultInjectingFile final : public File {
public:
    FaultInjectingFile(FaultInjectingFileSystem& files, std::unique_ptr<File> base, std::string path,
                       bool writable)
        : files_(files), base_(std::move(base)), path_(std::move(path)), writable_(writable) {}

    std::size_t read(void* buffer, std::size_t size) override {
        if (files_.failsNow(FileCall::Read, path_))
            return base_->read(buffer, size / 2);
        return base_->read(buffer, size);
    }
    std::size_t write(const void* buffer, std::size_t size) override {
        if (files_.failsNow(FileCall::Write, path_))
            return base_->write(buffer, size / 2);
        return base_->write(buffer, size);
    }
    bool seek(std::int64_t offset, SeekOrigin origin) override {
        return !files_.failsNow(FileCall::Seek, path_) && base_->seek(offset, origin);
    }
    std::int64_t tell() override { return base_->tell(); }
    bool flush() override { return !files_.failsNow(FileCall::Flush, path_) && base_->flush(); }
    bool close() override {
        if (closed_)
            return base_->close();
        closed_ = true;
        if (!files_.failsNow(FileCall::Close, path_))
            return base_->close();
        base_->close();
        if (writable_)
            files_.keepFirstHalf(path_);
        return false;
    }

private:
    FaultInjectingFileSystem& files_;
    std::unique_ptr<File> base_;
    std::string path_;
    bool writable_;
    bool closed_ = false;
};

} // namespace

const char* fileCallName(FileCall call) {
    static const char* const Names[] = {"open", "create", "read",       "write",   "flush", "close",
                                        "seek", "lock",   "attributes", "replace", "delete"};
    return Names[static_cast<std::size_t>(call)];
}

void FaultInjectingFileSystem::failCall(FileCall call, std::uint32_t n) {
    counts_.fill(0);
    armed_ = true;
    target_ = call;
    targetCall_ = n;
    fired_ = false;
    failedPath_.clear();
}

void FaultInjectingFileSystem::countOnly() {
    counts_.fill(0);
    armed_ = false;
    fired_ = false;
    failedPath_.clear();
}

bool FaultInjectingFileSystem::failsNow(FileCall call, const std::string& path) {
    std::uint32_t n = ++counts_[index(call)];
    if (!armed_ || call != target_ || n != targetCall_)
        return false;
    fired_ = true;
    failedPath_ = path;
    return true;
}

void FaultInjectingFileSystem::keepFirstHalf(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(base(), path, bytes))
        return;
    if (auto file = base().open(path, "wb")) {
        file->write(bytes.data(), bytes.size() / 2);
        file->close();
    }
}

std::unique_ptr<File> FaultInjectingFileSystem::wrap(std::unique_ptr<File> file, const std::string& path,
                                                     bool writable) {
    if (!file)
        return nullptr;
    return std::make_unique<FaultInjectingFile>(*this, std::move(file), path, writable);
}

std::unique_ptr<File> FaultInjectingFileSystem::open(const std::string& path, const char* mode) {
    if (failsNow(FileCall::Open, path))
        return nullptr;
    return wrap(base().open(path, mode), path, mode[0] != 'r' || std::strchr(mode, '+') != nullptr);
}

std::unique_ptr<File> FaultInjectingFileSystem::createNew(const std::string& path) {
    if (failsNow(FileCall::Create, path))
        return nullptr;
    return wrap(base().createNew(path), path, true);
}

bool FaultInjectingFileSystem::replaceFile(const std::string& from, const std::string& to) {
    return !failsNow(FileCall::Replace, from) && base().replaceFile(from, to);
}

bool FaultInjectingFileSystem::deleteFile(const std::string& path) {
    return !failsNow(FileCall::Delete, path) && base().deleteFile(path);
}

std::unique_ptr<FileLock> FaultInjectingFileSystem::lockFile(const std::string& path, bool& busy) {
    busy = false;
    if (failsNow(FileCall::Lock, path))
        return nullptr;
    return base().lockFile(path, busy);
}

bool FaultInjectingFileSystem::replaceLockedFile(const std::string& from, const std::string& to,
                                                 FileLock& lock) {
    return !failsNow(FileCall::Replace, from) && base().replaceLockedFile(from, to, lock);
}

bool FaultInjectingFileSystem::copyAttributes(const std::string& from, const std::string& to,
                                              bool modificationTime) {
    return !failsNow(FileCall::Attributes, to) && base().copyAttributes(from, to, modificationTime);
}

} // namespace orvella::test
