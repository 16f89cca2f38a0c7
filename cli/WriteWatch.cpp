#include "WriteWatch.h"

#include <cstring>

namespace orvella::cli {

void WriteWatch::noteFolderOf(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (unwritableFolder_)
        return;
    const std::size_t separator = path.find_last_of("\\/");
    unwritableFolder_ = separator == std::string::npos ? std::string(".") : path.substr(0, separator);
}

std::unique_ptr<File> WriteWatch::open(const std::string& path, const char* mode) {
    auto file = base().open(path, mode);
    if (!file && std::strpbrk(mode, "wa+") != nullptr)
        noteFolderOf(path);
    return file;
}

std::unique_ptr<File> WriteWatch::createNew(const std::string& path) {
    auto file = base().createNew(path);
    if (!file)
        noteFolderOf(path);
    return file;
}

// A move whose source is missing or a removal of a file that is not there says nothing about the folder.
bool WriteWatch::replaceFile(const std::string& from, const std::string& to) {
    if (base().replaceFile(from, to))
        return true;
    if (base().exists(from))
        noteFolderOf(to);
    return false;
}

bool WriteWatch::replaceLockedFile(const std::string& from, const std::string& to, FileLock& lock) {
    if (base().replaceLockedFile(from, to, lock))
        return true;
    if (base().exists(from))
        noteFolderOf(to);
    return false;
}

bool WriteWatch::deleteFile(const std::string& path) {
    if (base().deleteFile(path))
        return true;
    if (base().exists(path))
        noteFolderOf(path);
    return false;
}

bool WriteWatch::createFolder(const std::string& path, bool& alreadyExists) {
    if (base().createFolder(path, alreadyExists))
        return true;
    if (!alreadyExists) {
        std::string folder = path;
        while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
            folder.pop_back();
        noteFolderOf(folder);
    }
    return false;
}

} // namespace orvella::cli
