#include "FaultInjectingFileSystem.h"

#include <cstring>

namespace orvella::test {

namespace {

// Nothing at all: the ground under the files held in memory, where a folder may be created at the top or
// under the root of a POSIX path ("\\home").
class NoFiles final : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string&, const char*) override { return nullptr; }
    std::unique_ptr<File> createNew(const std::string&) override { return nullptr; }
    bool replaceFile(const std::string&, const std::string&) override { return false; }
    bool deleteFile(const std::string&) override { return false; }
    bool exists(const std::string&) override { return false; }
    bool isFolder(const std::string&) override { return false; }
    bool createFolder(const std::string&, bool& alreadyExists) override {
        alreadyExists = false;
        return false;
    }
    bool listFolder(const std::string&, std::vector<FolderEntry>&) override { return false; }
    std::unique_ptr<FileLock> lockFile(const std::string&, bool& busy) override {
        busy = false;
        return nullptr;
    }
    bool replaceLockedFile(const std::string&, const std::string&, FileLock&) override { return false; }
    std::string resolveLink(const std::string& path) override { return path; }
    bool isWritable(const std::string&) override { return false; }
    bool canWriteIn(const std::string& folder) override { return folder == "." || folder == "\\"; }
    bool copyAttributes(const std::string&, const std::string&, bool) override { return false; }
};

class FaultInjectingFile final : public File {
public:
    FaultInjectingFile(FaultInjectingFileSystem& files, std::unique_ptr<File> base, std::string path,
                       bool writable)
        : files_(files), base_(std::move(base)), path_(std::move(path)), writable_(writable) {
        files_.held(path_, 1, false);
    }
    ~FaultInjectingFile() override { release(); }

    std::size_t read(void* buffer, std::size_t size) override {
        return base_->read(buffer, files_.failsNow(FileCall::Read, path_) ? size / 2 : size);
    }
    std::size_t write(const void* buffer, std::size_t size) override {
        return base_->write(buffer, files_.failsNow(FileCall::Write, path_) ? size / 2 : size);
    }
    bool seek(std::int64_t offset, SeekOrigin origin) override {
        return !files_.failsNow(FileCall::Seek, path_) && base_->seek(offset, origin);
    }
    std::int64_t tell() override { return base_->tell(); }
    bool flush() override { return !files_.failsNow(FileCall::Flush, path_) && base_->flush(); }
    bool close() override {
        if (released_)
            return base_->close();
        const bool fails = files_.failsNow(FileCall::Close, path_);
        const bool closed = base_->close();
        release();
        if (!fails)
            return closed;
        if (writable_)
            if (std::optional<std::string> bytes = files_.readFile(path_))
                files_.writeFile(path_, std::string_view(*bytes).substr(0, bytes->size() / 2));
        return false;
    }

private:
    void release() {
        if (!std::exchange(released_, true))
            files_.held(path_, -1, false);
    }

    FaultInjectingFileSystem& files_;
    std::unique_ptr<File> base_;
    std::string path_;
    bool writable_;
    bool released_ = false;
};

class FaultInjectingLock final : public FileLock {
public:
    FaultInjectingLock(FaultInjectingFileSystem& files, std::unique_ptr<FileLock> base, std::string path)
        : files(files), base(std::move(base)), path(std::move(path)) {
        files.held(this->path, 1, true);
    }
    ~FaultInjectingLock() override { files.held(path, -1, true); }

    FaultInjectingFileSystem& files;
    std::unique_ptr<FileLock> base;
    std::string path;
};

} // namespace

FaultInjectingFileSystem::FaultInjectingFileSystem()
    : nothing_(std::make_unique<NoFiles>()), memory_(std::make_unique<OverlayFileSystem>(*nothing_)) {}

FaultInjectingFileSystem::~FaultInjectingFileSystem() = default;

std::string FaultInjectingFileSystem::key(const std::string& path) {
    std::string key;
    for (char c : path) {
        const char separator = c == '/' ? '\\' : c;
        if (separator != '\\' || key.empty() || key.back() != '\\')
            key += separator;
    }
    while (key.size() > 1 && key.back() == '\\')
        key.pop_back();
    return key;
}

void FaultInjectingFileSystem::addFolder(const std::string& path) {
    std::lock_guard guard(mutex_);
    const std::string folder = key(path);
    for (std::size_t end = folder.find('\\', 1);; end = folder.find('\\', end + 1)) {
        bool alreadyExists = false;
        known_.insert(folder.substr(0, end));
        if (inner().createFolder(folder.substr(0, end), alreadyExists))
            touch(folder.substr(0, end));
        if (end == std::string::npos)
            return;
    }
}

bool FaultInjectingFileSystem::writeFile(const std::string& path, std::string_view bytes) {
    std::lock_guard guard(mutex_);
    known_.insert(key(path));
    auto file = inner().open(path, "wb");
    if (file)
        touch(path);
    return file && file->write(bytes.data(), bytes.size()) == bytes.size() && file->close();
}

std::optional<std::string> FaultInjectingFileSystem::readFile(const std::string& path) {
    std::lock_guard guard(mutex_);
    std::vector<std::uint8_t> bytes;
    if (!isFile(path) || !readWholeFile(inner(), path, bytes))
        return std::nullopt;
    return std::string(bytes.begin(), bytes.end());
}

FaultInjectingFileSystem::Snapshot FaultInjectingFileSystem::snapshot() {
    std::lock_guard guard(mutex_);
    Snapshot state;
    for (const std::string& path : known_) {
        if (inner().isFolder(path))
            state.emplace(path, std::nullopt);
        else if (std::optional<std::string> bytes = readFile(path))
            state.emplace(path, std::move(bytes));
    }
    return state;
}

void FaultInjectingFileSystem::restore(const Snapshot& state) {
    std::lock_guard guard(mutex_);
    memory_ = std::make_unique<OverlayFileSystem>(*nothing_);
    known_.clear();
    times_.clear();
    for (const auto& [path, bytes] : state) {
        if (bytes)
            writeFile(path, *bytes);
        else
            addFolder(path);
    }
}

std::vector<std::string> FaultInjectingFileSystem::files() {
    std::lock_guard guard(mutex_);
    std::vector<std::string> paths;
    for (const auto& [path, bytes] : snapshot())
        if (bytes)
            paths.push_back(path);
    return paths;
}

void FaultInjectingFileSystem::failCall(FileCall call, std::uint32_t n) {
    std::lock_guard guard(mutex_);
    counts_.fill(0);
    target_.emplace(call, n);
    failedPath_.clear();
}

void FaultInjectingFileSystem::countOnly() {
    std::lock_guard guard(mutex_);
    failCall(FileCall::Open, 0);
    target_.reset();
    rules_.clear();
}

bool FaultInjectingFileSystem::failsNow(FileCall call, const std::string& path) {
    std::lock_guard guard(mutex_);
    const std::uint32_t n = ++counts_[static_cast<std::size_t>(call)];
    bool fails = target_ && target_->first == call && target_->second == n;
    for (const auto& [ruled, end] : rules_)
        fails = fails || (ruled == call && path.ends_with(end));
    if (fails)
        failedPath_ = path;
    return fails;
}

void FaultInjectingFileSystem::held(const std::string& path, int change, bool lock) {
    std::lock_guard guard(mutex_);
    openHandles_ += change;
    if (!lock)
        openCounts_[key(path)] += change;
    else if (change > 0)
        locks_.insert(key(path));
    else
        locks_.erase(key(path));
}

bool FaultInjectingFileSystem::isOpen(const std::string& path) const {
    std::lock_guard guard(mutex_);
    auto open = openCounts_.find(key(path));
    return open != openCounts_.end() && open->second > 0;
}

bool FaultInjectingFileSystem::isLocked(const std::string& path) const {
    std::lock_guard guard(mutex_);
    return locks_.count(key(path)) != 0;
}

bool FaultInjectingFileSystem::isBusy(const std::string& path) const {
    return isLocked(path) || isOpen(path);
}

bool FaultInjectingFileSystem::mayChangeEntryAt(const std::string& path) const {
    const std::string entry = key(path);
    const std::size_t separator = entry.rfind('\\');
    return readOnly_.count(separator == std::string::npos ? "." : entry.substr(0, separator)) == 0;
}

std::unique_ptr<File> FaultInjectingFileSystem::open(const std::string& path, const char* mode) {
    std::lock_guard guard(mutex_);
    const bool writable = mode[0] != 'r' || std::strchr(mode, '+') != nullptr;
    if (failsNow(FileCall::Open, path) || (writable && !inner().exists(path) && !mayChangeEntryAt(path)))
        return nullptr;
    if (writable)
        known_.insert(key(path));
    auto file = inner().open(path, mode);
    if (file && writable)
        touch(path);
    return file ? std::make_unique<FaultInjectingFile>(*this, std::move(file), path, writable) : nullptr;
}

std::unique_ptr<File> FaultInjectingFileSystem::createNew(const std::string& path) {
    std::lock_guard guard(mutex_);
    if (failsNow(FileCall::Create, path) || !mayChangeEntryAt(path))
        return nullptr;
    known_.insert(key(path));
    auto file = inner().createNew(path);
    if (file)
        touch(path);
    return file ? std::make_unique<FaultInjectingFile>(*this, std::move(file), path, true) : nullptr;
}

bool FaultInjectingFileSystem::replaceFile(const std::string& from, const std::string& to) {
    std::lock_guard guard(mutex_);
    if (failsNow(FileCall::Replace, from) || !mayChangeEntryAt(from) || !mayChangeEntryAt(to) ||
        isBusy(from) || isBusy(to))
        return false;
    known_.insert(key(to));
    if (!inner().replaceFile(from, to))
        return false;
    moveTime(from, to);
    return true;
}

bool FaultInjectingFileSystem::replaceLockedFile(const std::string& from, const std::string& to,
                                                 FileLock& lock) {
    std::lock_guard guard(mutex_);
    auto& held = static_cast<FaultInjectingLock&>(lock);
    if (failsNow(FileCall::Replace, from) || !mayChangeEntryAt(from) || !mayChangeEntryAt(to) ||
        isBusy(from) || key(held.path) != key(to) || isOpen(to))
        return false;
    if (!inner().replaceLockedFile(from, to, *held.base))
        return false;
    moveTime(from, to);
    return true;
}

bool FaultInjectingFileSystem::deleteFile(const std::string& path) {
    std::lock_guard guard(mutex_);
    if (failsNow(FileCall::Delete, path) || !mayChangeEntryAt(path) || isBusy(path) ||
        !inner().deleteFile(path))
        return false;
    times_.erase(key(path));
    return true;
}

bool FaultInjectingFileSystem::createFolder(const std::string& path, bool& alreadyExists) {
    std::lock_guard guard(mutex_);
    alreadyExists = false;
    if (failsNow(FileCall::Folder, path) || (!inner().exists(path) && !mayChangeEntryAt(path)))
        return false;
    known_.insert(key(path));
    if (!inner().createFolder(path, alreadyExists))
        return false;
    touch(path);
    return true;
}

bool FaultInjectingFileSystem::listFolder(const std::string& path, std::vector<FolderEntry>& entries) {
    std::lock_guard guard(mutex_);
    listedPath = path;
    entries.clear();
    if (failsNow(FileCall::List, path))
        return false;
    if (listing)
        entries = *listing;
    return listing || inner().listFolder(path, entries);
}

std::unique_ptr<FileLock> FaultInjectingFileSystem::lockFile(const std::string& path, bool& busy) {
    std::lock_guard guard(mutex_);
    busy = false;
    if (failsNow(FileCall::Lock, path) || (busy = isLocked(path)))
        return nullptr;
    auto lock = inner().lockFile(path, busy);
    return lock ? std::make_unique<FaultInjectingLock>(*this, std::move(lock), path) : nullptr;
}

bool FaultInjectingFileSystem::canWriteIn(const std::string& folder) {
    std::lock_guard guard(mutex_);
    return readOnly_.count(key(folder)) == 0 && inner().canWriteIn(folder);
}

bool FaultInjectingFileSystem::copyAttributes(const std::string& from, const std::string& to,
                                              bool modificationTime) {
    std::lock_guard guard(mutex_);
    if (failsNow(FileCall::Attributes, to) || !inner().copyAttributes(from, to, modificationTime))
        return false;
    if (std::optional<std::int64_t> time = this->modificationTime(from); modificationTime && time)
        times_[key(to)] = *time;
    return true;
}

std::optional<std::int64_t> FaultInjectingFileSystem::modificationTime(const std::string& path) {
    std::lock_guard guard(mutex_);
    if (!inner().exists(path))
        return std::nullopt;
    if (auto set = times_.find(key(path)); set != times_.end())
        return set->second;
    return inner().modificationTime(path);
}

void FaultInjectingFileSystem::setModificationTime(const std::string& path, std::int64_t time) {
    std::lock_guard guard(mutex_);
    times_[key(path)] = time;
}

void FaultInjectingFileSystem::moveTime(const std::string& from, const std::string& to) {
    auto moved = times_.find(key(from));
    if (moved == times_.end()) {
        times_.erase(key(to));
        return;
    }
    const std::int64_t time = moved->second;
    times_.erase(moved);
    times_[key(to)] = time;
}

} // namespace orvella::test
