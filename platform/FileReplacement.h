#pragma once

#include "platform/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace orvella {

// A file written whole under a temporary name and only then moved over its target, so that after a failure
// or a crash the target is the old file or the complete new one. The temporary file is created anew, never
// through a link; it is flushed, synced by its close, measured against what was written and given the
// attributes asked for before the move, which the file system makes durable. Every failure removes it, and
// so does the destructor when it was never moved.
class FileReplacement {
public:
    FileReplacement(FileSystem& files, std::string tempPath, std::string target)
        : files_(files), tempPath_(std::move(tempPath)), target_(std::move(target)) {}
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    ~FileReplacement() { discard(); }

    // Creates the temporary file; a stale one that a killed run left is removed first when asked, which only
    // the holder of the target may do.
    bool create(bool removeStale = true);
    bool isCreated() const { return created_; }
    // Adds the bytes; false when not all of them were written.
    bool write(const void* bytes, std::size_t size);
    // Writes the bytes over ones already written from the offset on, the file keeping its length; false when
    // they do not lie within what was written or cannot be written.
    bool overwrite(std::int64_t offset, const void* bytes, std::size_t size);
    // Flushes, syncs and closes the file, checks that it holds every byte written and gives it the
    // attributes of attributesFrom (none when empty); false, the file removed, when a step fails.
    bool finish(const std::string& attributesFrom = {}, bool modificationTime = false);
    // Moves the finished file over the target, through the target's lock when one holds it; false, the file
    // removed, when the move fails.
    bool moveOver(FileLock* lock = nullptr);
    // Closes and removes the temporary file unless it was moved.
    void discard();

private:
    FileSystem& files_;
    const std::string tempPath_;
    const std::string target_;
    std::unique_ptr<File> file_;
    std::int64_t written_ = 0;
    bool created_ = false;
};

} // namespace orvella
