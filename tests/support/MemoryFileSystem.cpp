#include "MemoryFileSystem.h"

#include <algorithm>
#include <cstring>

namespace orvella::test {

namespace {

// "\\" and "/" alike, no doubled or trailing separator; the root is the empty key.
std::string keyOf(const std::string& path) {
    std::string key;
    key.reserve(path.size());
    for (char c : path) {
        char separator = c == '\\' ? '/' : c;
        if (separator == '/' && !key.empty() && key.back() == '/')
            continue;
        key += separator;
    }
    while (!key.empty() && key.back() == '/')
        key.pop_back();
    return key;
}

std::string parentOf(const std::string& key) {
    std::size_t slash = key.rfind('/');
    return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

std::string nameOf(const std::string& key) {
    std::size_t slash = key.rfind('/');
    return slash == std::string::npos ? key : key.substr(slash + 1);
}

bool tooLong(const std::string& path) {
    return pathTooLong(path);
}

class MemoryHandle final : public File {
public:
    MemoryHandle(std::shared_ptr<MemoryFileSystem::Content> content, std::shared_ptr<std::size_t> live,
                 bool canRead, bool canWrite, bool append, bool text)
        : content_(std::move(content)), live_(std::move(live)), canRead_(canRead), canWrite_(canWrite),
          append_(append), text_(text) {
        ++content_->openers;
        ++*live_;
    }
    ~MemoryHandle() override { close(); }

    std::size_t read(void* buffer, std::size_t size) override {
        if (closed_ || !canRead_ || size == 0 || position_ >= content_->bytes.size())
            return 0;
        const std::string& bytes = content_->bytes;
        char* out = static_cast<char*>(buffer);
        if (!text_) {
            std::size_t count = std::min(size, bytes.size() - position_);
            std::memcpy(out, bytes.data() + position_, count);
            position_ += count;
            return count;
        }
        std::size_t done = 0;
        while (done < size && position_ < bytes.size()) {
            // A text stream reads the CR of a CR LF pair as nothing.
            if (bytes[position_] == '\r' && position_ + 1 < bytes.size() && bytes[position_ + 1] == '\n')
                ++position_;
            out[done++] = bytes[position_++];
        }
        return done;
    }

    std::size_t write(const void* buffer, std::size_t size) override {
        if (closed_ || !canWrite_ || size == 0)
            return 0;
        std::string& bytes = content_->bytes;
        if (append_)
            position_ = bytes.size();
        const char* in = static_cast<const char*>(buffer);
        if (!text_) {
            store(in, size);
            return size;
        }
        std::string stored;
        for (std::size_t i = 0; i < size; ++i) {
            if (in[i] == '\n')
                stored += '\r';
            stored += in[i];
        }
        store(stored.data(), stored.size());
        return size;
    }

    bool seek(std::int64_t offset, SeekOrigin origin) override {
        if (closed_)
            return false;
        std::int64_t base = origin == SeekOrigin::Begin ? 0
                            : origin == SeekOrigin::Current
                                ? static_cast<std::int64_t>(position_)
                                : static_cast<std::int64_t>(content_->bytes.size());
        if (base + offset < 0)
            return false;
        position_ = static_cast<std::size_t>(base + offset);
        return true;
    }

    std::int64_t tell() override { return closed_ ? -1 : static_cast<std::int64_t>(position_); }
    bool flush() override { return !closed_; }

    bool close() override {
        if (closed_)
            return true;
        closed_ = true;
        --content_->openers;
        --*live_;
        return true;
    }

private:
    void store(const char* in, std::size_t size) {
        std::string& bytes = content_->bytes;
        if (position_ + size > bytes.size())
            bytes.resize(position_ + size);
        std::memcpy(bytes.data() + position_, in, size);
        position_ += size;
    }

    std::shared_ptr<MemoryFileSystem::Content> content_;
    std::shared_ptr<std::size_t> live_;
    bool canRead_;
    bool canWrite_;
    bool append_;
    bool text_;
    bool closed_ = false;
    std::size_t position_ = 0;
};

// A lock counts as an open handle of its file, as the handle that holds a lock on Windows does.
class MemoryLock final : public FileLock {
public:
    MemoryLock(std::shared_ptr<MemoryFileSystem::Content> content, std::shared_ptr<std::size_t> live)
        : live_(std::move(live)) {
        hold(std::move(content));
    }
    ~MemoryLock() override { release(); }

    const std::shared_ptr<MemoryFileSystem::Content>& content() const { return content_; }

    void hold(std::shared_ptr<MemoryFileSystem::Content> content) {
        release();
        content_ = std::move(content);
        content_->locked = true;
        ++content_->openers;
        ++*live_;
    }

private:
    void release() {
        if (!content_)
            return;
        content_->locked = false;
        --content_->openers;
        --*live_;
        content_.reset();
    }

    std::shared_ptr<MemoryFileSystem::Content> content_;
    std::shared_ptr<std::size_t> live_;
};

// Counts the handles of every file system instance separately; shared with the handles, which may
// outlive the file system's state.
std::shared_ptr<std::size_t> newCounter() {
    return std::make_shared<std::size_t>(0);
}

} // namespace

MemoryFileSystem::MemoryFileSystem() : liveHandles_(newCounter()) {}

const MemoryFileSystem::Node* MemoryFileSystem::find(const std::string& key) const {
    auto found = nodes_.find(key);
    return found == nodes_.end() ? nullptr : &found->second;
}

bool MemoryFileSystem::folderExists(const std::string& key) const {
    if (key.empty())
        return true;
    const Node* node = find(key);
    return node && node->folder;
}

bool MemoryFileSystem::isBusy(const std::string& key) const {
    const Node* node = find(key);
    return node && node->content && node->content->openers > 0;
}

bool MemoryFileSystem::isLocked(const std::string& key) const {
    return readOnly_.count(parentOf(key)) != 0;
}

void MemoryFileSystem::makeReadOnly(const std::string& folder) {
    readOnly_.insert(keyOf(folder));
}

void MemoryFileSystem::addFolder(const std::string& path) {
    std::string key = keyOf(path);
    if (key.empty() || folderExists(key))
        return;
    addFolder(parentOf(key));
    nodes_[key] = Node{true, nullptr};
}

bool MemoryFileSystem::writeFile(const std::string& path, std::string bytes) {
    std::string key = keyOf(path);
    const Node* node = find(key);
    if (key.empty() || !folderExists(parentOf(key)) || (node && node->folder))
        return false;
    nodes_[key] = Node{false, std::make_shared<Content>(Content{std::move(bytes)})};
    return true;
}

std::optional<std::string> MemoryFileSystem::readFile(const std::string& path) const {
    const Node* node = find(keyOf(path));
    if (!node || node->folder)
        return std::nullopt;
    return node->content->bytes;
}

bool MemoryFileSystem::isFile(const std::string& path) const {
    const Node* node = find(keyOf(path));
    return node && !node->folder;
}

std::vector<std::string> MemoryFileSystem::files() const {
    std::vector<std::string> paths;
    for (const auto& [key, node] : nodes_)
        if (!node.folder)
            paths.push_back(key);
    return paths;
}

std::string MemoryFileSystem::pathKey(const std::string& path) {
    return keyOf(path);
}

std::size_t MemoryFileSystem::openHandles() const {
    return *liveHandles_;
}

MemoryFileSystem::Snapshot MemoryFileSystem::snapshot() const {
    Snapshot state;
    for (const auto& [key, node] : nodes_)
        state.emplace(key, node.folder ? std::nullopt : std::optional<std::string>(node.content->bytes));
    return state;
}

bool MemoryFileSystem::matches(const Snapshot& state) const {
    if (state.size() != nodes_.size())
        return false;
    auto expected = state.begin();
    for (const auto& [key, node] : nodes_) {
        const auto& [expectedKey, bytes] = *expected++;
        if (key != expectedKey || node.folder != !bytes || (bytes && node.content->bytes != *bytes))
            return false;
    }
    return true;
}

void MemoryFileSystem::restore(const Snapshot& state) {
    nodes_.clear();
    for (const auto& [key, bytes] : state)
        nodes_.emplace(key,
                       bytes ? Node{false, std::make_shared<Content>(Content{*bytes})} : Node{true, nullptr});
}

std::unique_ptr<File> MemoryFileSystem::open(const std::string& path, const char* mode) {
    if (tooLong(path) || !mode || !std::strchr("rwa", mode[0]))
        return nullptr;
    const bool update = std::strchr(mode, '+') != nullptr;
    const bool text = std::strchr(mode, 'b') == nullptr;
    const std::string key = keyOf(path);
    auto found = nodes_.find(key);
    if (key.empty() || (found != nodes_.end() && found->second.folder))
        return nullptr;
    if (mode[0] == 'r') {
        if (found == nodes_.end())
            return nullptr;
    } else {
        if (!folderExists(parentOf(key)) || (found == nodes_.end() && isLocked(key)))
            return nullptr;
        if (found == nodes_.end())
            found = nodes_.emplace(key, Node{false, std::make_shared<Content>()}).first;
        else if (mode[0] == 'w')
            found->second.content->bytes.clear();
    }
    return std::make_unique<MemoryHandle>(found->second.content, liveHandles_, mode[0] == 'r' || update,
                                          mode[0] != 'r' || update, mode[0] == 'a', text);
}

std::unique_ptr<File> MemoryFileSystem::createNew(const std::string& path) {
    if (tooLong(path) || find(keyOf(path)))
        return nullptr;
    return open(path, "wb");
}

bool MemoryFileSystem::replaceFile(const std::string& from, const std::string& to) {
    if (tooLong(from) || tooLong(to))
        return false;
    const std::string source = keyOf(from);
    const std::string target = keyOf(to);
    const Node* sourceNode = find(source);
    const Node* targetNode = find(target);
    if (!sourceNode || sourceNode->folder || isBusy(source) || isLocked(source) || isLocked(target))
        return false;
    if (source == target)
        return true;
    if (!folderExists(parentOf(target)) || (targetNode && targetNode->folder) || isBusy(target))
        return false;
    Node moved = nodes_[source];
    nodes_.erase(source);
    nodes_[target] = std::move(moved);
    return true;
}

bool MemoryFileSystem::deleteFile(const std::string& path) {
    if (tooLong(path))
        return false;
    const std::string key = keyOf(path);
    const Node* node = find(key);
    if (!node || node->folder || isBusy(key) || isLocked(key))
        return false;
    nodes_.erase(key);
    return true;
}

bool MemoryFileSystem::exists(const std::string& pattern) {
    if (tooLong(pattern))
        return false;
    std::string key = keyOf(pattern);
    static const std::string anyFile = "/*.*";
    if (key.size() >= anyFile.size() &&
        key.compare(key.size() - anyFile.size(), anyFile.size(), anyFile) == 0)
        return folderExists(key.substr(0, key.size() - anyFile.size()));
    return find(key) != nullptr;
}

bool MemoryFileSystem::createFolder(const std::string& path, bool& alreadyExists) {
    alreadyExists = false;
    if (tooLong(path))
        return false;
    const std::string key = keyOf(path);
    if (key.empty() || find(key)) {
        alreadyExists = true;
        return false;
    }
    if (!folderExists(parentOf(key)) || isLocked(key))
        return false;
    nodes_[key] = Node{true, nullptr};
    return true;
}

bool MemoryFileSystem::listFolder(const std::string& path, std::vector<FolderEntry>& entries) {
    entries.clear();
    if (tooLong(path))
        return false;
    const std::string key = keyOf(path);
    if (!folderExists(key))
        return false;
    entries.push_back(FolderEntry{".", true});
    entries.push_back(FolderEntry{"..", true});
    for (const auto& [child, node] : nodes_)
        if (child != key && parentOf(child) == key)
            entries.push_back(FolderEntry{nameOf(child), node.folder});
    return true;
}

bool MemoryFileSystem::canWriteIn(const std::string& folder) {
    const std::string key = keyOf(folder);
    return !tooLong(folder) && folderExists(key) && readOnly_.count(key) == 0;
}

std::unique_ptr<FileLock> MemoryFileSystem::lockFile(const std::string& path, bool& busy) {
    busy = false;
    const Node* node = tooLong(path) ? nullptr : find(keyOf(path));
    if (!node || node->folder)
        return nullptr;
    if (node->content->locked) {
        busy = true;
        return nullptr;
    }
    return std::make_unique<MemoryLock>(node->content, liveHandles_);
}

bool MemoryFileSystem::replaceLockedFile(const std::string& from, const std::string& to, FileLock& lock) {
    auto& held = static_cast<MemoryLock&>(lock);
    const Node* source = tooLong(from) ? nullptr : find(keyOf(from));
    const Node* target = tooLong(to) ? nullptr : find(keyOf(to));
    if (!source || source->folder || source->content->locked || !target || target->content != held.content())
        return false;
    std::shared_ptr<Content> moved = source->content;
    // The target's only opener may be the lock itself, which lets go of it as the move happens.
    if (isBusy(keyOf(from)) || target->content->openers > 1 || !folderExists(parentOf(keyOf(to))))
        return false;
    nodes_.erase(keyOf(from));
    nodes_[keyOf(to)] = Node{false, moved};
    held.hold(moved);
    return true;
}

} // namespace orvella::test
