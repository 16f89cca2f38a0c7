#include "WriteWatch.h"

#include <cstring>

namespace orvella::cli {

void WriteWatch::noteFolderOf(const std::string& path) {
    if (unwritableFolder_)
        return;
    const std::size_t separator = path.find_last_of("\\/");
    unwritableFolder_ = separator == std::string::npos ? std::string(".") : path.substr(0, separator);
}

std::unique_ptr<File> WriteWatch::open(const std::string& path, const char* mode) {
    auto file = base_.open(path, mode);
    if (!file && std::strpbrk(mode, "wa+") != nullptr)
        noteFolderOf(path);
    return file;
}

// A copy whose source is missing or a removal of a file that is not there says nothing about the folder.
bool WriteWatch::copyFile(const std::string& from, const std::string& to, bool overwrite) {
    if (base_.copyFile(from, to, overwrite))
        return true;
    if (base_.exists(from))
        noteFolderOf(to);
    return false;
}

bool WriteWatch::replaceFile(const std::string& from, const std::string& to) {
    if (base_.replaceFile(from, to))
        return true;
    if (base_.exists(from))
        noteFolderOf(to);
    return false;
}

bool WriteWatch::deleteFile(const std::string& path) {
    if (base_.deleteFile(path))
        return true;
    if (base_.exists(path))
        noteFolderOf(path);
    return false;
}

bool WriteWatch::createFolder(const std::string& path, bool& alreadyExists) {
    if (base_.createFolder(path, alreadyExists))
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
