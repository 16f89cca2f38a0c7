#include "platform/OverlayFileSystem.h"
#include "platform/MemoryFile.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>

namespace orvella {

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// The path without separators at its end, which Windows' queries refuse ("C:\\Games\\Saves\\").
std::string trimmed(std::string path) {
    while (path.size() > 1 && isSeparator(path.back()))
        path.pop_back();
    return path;
}

// The layer's key: "\\" between names, none doubled, except the two that begin a network path.
std::string keyOf(const std::string& path) {
    std::string key;
    key.reserve(path.size());
    for (char c : trimmed(path)) {
        const char separator = isSeparator(c) ? '\\' : c;
        if (separator == '\\' && key.size() > 1 && key.back() == '\\')
            continue;
        key += separator;
    }
    return key;
}

// The folder that holds the path, spelled as the path spells it.
std::string folderOf(const std::string& path) {
    const std::string file = trimmed(path);
    const std::size_t separator = file.find_last_of("\\/");
    if (separator == std::string::npos)
        return ".";
    return separator == 0 ? file.substr(0, 1) : file.substr(0, separator);
}

// An open file of the layer, with the same bytes as the layer's entry, so that a write is seen at once by
// every reader. Text modes store "\n" as "\r\n" and read it back, as the platforms' streams do.
class LayerFile final : public File {
public:
    LayerFile(std::shared_ptr<std::string> bytes, bool canRead, bool canWrite, bool append, bool text)
        : bytes_(std::move(bytes)), canRead_(canRead), canWrite_(canWrite), append_(append), text_(text) {}

    std::size_t read(void* buffer, std::size_t size) override {
        const std::string& bytes = *bytes_;
        char* out = static_cast<char*>(buffer);
        std::size_t done = 0;
        while (canRead_ && done < size && position_ < bytes.size()) {
            if (text_ && bytes[position_] == '\r' && position_ + 1 < bytes.size() &&
                bytes[position_ + 1] == '\n')
                ++position_;
            out[done++] = bytes[position_++];
        }
        return done;
    }

    std::size_t write(const void* buffer, std::size_t size) override {
        if (!canWrite_)
            return 0;
        std::string& bytes = *bytes_;
        if (append_)
            position_ = bytes.size();
        std::string stored(static_cast<const char*>(buffer), size);
        if (text_)
            for (std::size_t at = stored.find('\n'); at != std::string::npos; at = stored.find('\n', at + 2))
                stored.insert(at, 1, '\r');
        if (position_ + stored.size() > bytes.size())
            bytes.resize(position_ + stored.size());
        bytes.replace(position_, stored.size(), stored);
        position_ += stored.size();
        return size;
    }

    bool seek(std::int64_t offset, SeekOrigin origin) override {
        return seekInMemory(position_, bytes_->size(), offset, origin);
    }
    std::int64_t tell() override { return static_cast<std::int64_t>(position_); }
    bool flush() override { return true; }
    bool close() override { return true; }

private:
    std::shared_ptr<std::string> bytes_;
    bool canRead_;
    bool canWrite_;
    bool append_;
    bool text_;
    std::size_t position_ = 0;
};

// A file that only the layer holds is seen by nobody else, so there is no other holder to keep out.
class LayerLock final : public FileLock {};

std::int64_t now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

const OverlayFileSystem::Entry* OverlayFileSystem::layered(const std::string& path) const {
    auto found = layer_.find(keyOf(path));
    return found == layer_.end() ? nullptr : &found->second;
}

bool OverlayFileSystem::isFile(const std::string& path) {
    if (const Entry* entry = layered(path))
        return entry->kind == Entry::File;
    return base_.exists(path) && !base_.isFolder(path);
}

bool OverlayFileSystem::isFolder(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (pathTooLong(path))
        return false;
    if (const Entry* entry = layered(path))
        return entry->kind == Entry::Folder;
    return base_.isFolder(path);
}

bool OverlayFileSystem::mayChangeEntryAt(const std::string& path) {
    return canWriteIn(folderOf(path));
}

std::shared_ptr<std::string> OverlayFileSystem::newFile(const std::string& path) {
    auto bytes = std::make_shared<std::string>();
    layer_[keyOf(path)] = Entry{Entry::File, bytes, now()};
    return bytes;
}

std::unique_ptr<File> OverlayFileSystem::open(const std::string& path, const char* mode) {
    std::lock_guard lock(mutex_);
    if (pathTooLong(path) || !mode || mode[0] == '\0' || !std::strchr("rwa", mode[0]))
        return nullptr;
    const bool update = std::strchr(mode, '+') != nullptr;
    const bool reading = mode[0] == 'r' && !update;
    const Entry* entry = layered(path);
    if (reading && !entry)
        return base_.open(path, mode);
    if (isFolder(path))
        return nullptr;
    std::shared_ptr<std::string> bytes;
    if (entry && entry->kind == Entry::File) {
        bytes = entry->bytes;
    } else if (!entry && base_.exists(path)) {
        // The other file system's file is taken into the layer, as it would be opened: whole, unless emptied.
        std::vector<std::uint8_t> content;
        if (!base_.isWritable(path) || (mode[0] != 'w' && !readWholeFile(base_, path, content)))
            return nullptr;
        bytes = newFile(path);
        bytes->assign(content.begin(), content.end());
    } else if (mode[0] == 'r' || !mayChangeEntryAt(path)) {
        return nullptr;
    } else {
        bytes = newFile(path);
    }
    if (mode[0] == 'w')
        bytes->clear();
    return std::make_unique<LayerFile>(bytes, mode[0] == 'r' || update, mode[0] != 'r' || update,
                                       mode[0] == 'a', std::strchr(mode, 'b') == nullptr);
}

std::unique_ptr<File> OverlayFileSystem::createNew(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (pathTooLong(path))
        return nullptr;
    const Entry* entry = layered(path);
    if ((entry ? entry->kind != Entry::Gone : base_.exists(path)) || !mayChangeEntryAt(path))
        return nullptr;
    return std::make_unique<LayerFile>(newFile(path), false, true, false, false);
}

bool OverlayFileSystem::replaceFile(const std::string& from, const std::string& to) {
    std::lock_guard lock(mutex_);
    if (pathTooLong(from) || pathTooLong(to) || !isFile(from) || isFolder(to) || !mayChangeEntryAt(from) ||
        !mayChangeEntryAt(to))
        return false;
    if (keyOf(from) == keyOf(to))
        return true;
    std::shared_ptr<std::string> bytes;
    std::optional<std::int64_t> time;
    if (const Entry* entry = layered(from)) {
        bytes = entry->bytes;
        time = entry->time;
    } else {
        std::vector<std::uint8_t> content;
        if (!readWholeFile(base_, from, content))
            return false;
        bytes = std::make_shared<std::string>(content.begin(), content.end());
        time = base_.modificationTime(from);
    }
    layer_[keyOf(to)] = Entry{Entry::File, bytes, time};
    layer_[keyOf(from)] = Entry{Entry::Gone, nullptr};
    return true;
}

// The lock stays on the other file system's file, which nobody else may take until the dry run ends.
bool OverlayFileSystem::replaceLockedFile(const std::string& from, const std::string& to, FileLock&) {
    std::lock_guard lock(mutex_);
    return replaceFile(from, to);
}

bool OverlayFileSystem::deleteFile(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (pathTooLong(path) || !isFile(path) || !mayChangeEntryAt(path))
        return false;
    layer_[keyOf(path)] = Entry{Entry::Gone, nullptr};
    return true;
}

bool OverlayFileSystem::exists(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (pathTooLong(path))
        return false;
    if (const Entry* entry = layered(path))
        return entry->kind != Entry::Gone;
    return base_.exists(path);
}

bool OverlayFileSystem::createFolder(const std::string& path, bool& alreadyExists) {
    std::lock_guard lock(mutex_);
    alreadyExists = false;
    const std::string folder = trimmed(path);
    if (pathTooLong(path))
        return false;
    const Entry* entry = layered(folder);
    if (entry ? entry->kind != Entry::Gone : base_.exists(folder)) {
        alreadyExists = true;
        return false;
    }
    if (!mayChangeEntryAt(folder))
        return false;
    layer_[keyOf(folder)] = Entry{Entry::Folder, nullptr, now()};
    return true;
}

bool OverlayFileSystem::listFolder(const std::string& path, std::vector<FolderEntry>& entries) {
    std::lock_guard lock(mutex_);
    bool interrupted = false;
    return listFolderChecked(path, entries, interrupted);
}

bool OverlayFileSystem::listFolderChecked(const std::string& path, std::vector<FolderEntry>& entries,
                                          bool& interrupted) {
    std::lock_guard lock(mutex_);
    entries.clear();
    interrupted = false;
    if (pathTooLong(path))
        return false;
    const Entry* entry = layered(path);
    if (entry && entry->kind != Entry::Folder)
        return false;
    if (entry)
        entries = {FolderEntry{".", true}, FolderEntry{"..", true}};
    else if (!base_.listFolderChecked(path, entries, interrupted))
        return false;
    // The other file system's entries that the layer changed give way to the layer's own.
    const std::string prefix = keyOf(path) + "\\";
    std::erase_if(entries, [&](const FolderEntry& listed) {
        return listed.name != "." && listed.name != ".." && layer_.count(prefix + listed.name) != 0;
    });
    for (auto child = layer_.lower_bound(prefix);
         child != layer_.end() && child->first.compare(0, prefix.size(), prefix) == 0; ++child) {
        const std::string name = child->first.substr(prefix.size());
        if (name.find('\\') == std::string::npos && child->second.kind != Entry::Gone)
            entries.push_back(FolderEntry{name, child->second.kind == Entry::Folder});
    }
    return true;
}

std::unique_ptr<FileLock> OverlayFileSystem::lockFile(const std::string& path, bool& busy) {
    std::lock_guard lock(mutex_);
    busy = false;
    const Entry* entry = layered(path);
    if (!entry)
        return base_.lockFile(path, busy);
    if (entry->kind != Entry::File)
        return nullptr;
    return std::make_unique<LayerLock>();
}

std::string OverlayFileSystem::resolveLink(const std::string& path) {
    std::lock_guard lock(mutex_);
    return layered(path) ? path : base_.resolveLink(path);
}

bool OverlayFileSystem::isWritable(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (const Entry* entry = layered(path))
        return entry->kind == Entry::File;
    return base_.isWritable(path);
}

bool OverlayFileSystem::canWriteIn(const std::string& folder) {
    std::lock_guard lock(mutex_);
    if (const Entry* entry = layered(folder))
        return entry->kind == Entry::Folder;
    return base_.canWriteIn(trimmed(folder));
}

// The layer keeps no other attributes: apart from the time of a file it holds, only the question whether both
// files are there is answered.
bool OverlayFileSystem::copyAttributes(const std::string& from, const std::string& to,
                                       bool modificationTime) {
    std::lock_guard lock(mutex_);
    if (pathTooLong(from) || pathTooLong(to) || !isFile(from) || !isFile(to))
        return false;
    if (auto target = layer_.find(keyOf(to)); modificationTime && target != layer_.end())
        target->second.time = this->modificationTime(from);
    return true;
}

std::optional<std::int64_t> OverlayFileSystem::modificationTime(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (pathTooLong(path))
        return std::nullopt;
    if (const Entry* entry = layered(path))
        return entry->kind == Entry::Gone ? std::nullopt : entry->time;
    return base_.modificationTime(path);
}

} // namespace orvella
