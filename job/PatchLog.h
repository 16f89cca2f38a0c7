#pragma once

#include "platform/FileReplacement.h"
#include "platform/FileSystem.h"
#include "translate/ConversionLog.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orvella {

// The plain-text log beside the save, stored with every line feed as CR LF. It is gathered in memory and
// treated as the save is: a temporary file created anew receives it whole, synced, and is moved over the
// older log only when the log is kept, so that nothing standing at the log's path, a link included, is ever
// opened or written through.
class PatchLog final : public ConversionLog {
public:
    // Creates the temporary file, a stale one that a killed job left being removed first; false when it
    // cannot be created, or when an older log stands at the path that the move could not replace (a
    // folder, or a file the user may not write, which Windows' move refuses).
    bool open(FileSystem& files, const std::string& path, const std::string& tempPath);
    bool isOpen() const { return file_ && file_->isCreated(); }
    // Adds the text as it stands; write errors do not change the conversion's outcome.
    void write(std::string_view text) override;
    void writeFirstLine(std::string_view saveFileName);
    // Writes the log to its temporary file and syncs it, once, ahead of keep; nothing written to the log
    // afterwards is kept. False when the file could not be written.
    bool store();
    // Stores the log unless it was, and moves it over the older one. When that fails, neither the temporary
    // file nor the older log, which belongs to an earlier conversion, stays; false then.
    bool keep();
    // Deletes the temporary file and the older log.
    void discard();

private:
    void removeOlderLog();

    FileSystem* files_ = nullptr;
    std::string path_;
    std::unique_ptr<FileReplacement> file_;
    std::string text_;
    std::optional<bool> stored_;
};

} // namespace orvella
