#pragma once

#include "platform/FileSystem.h"

#include <memory>
#include <string>
#include <string_view>

namespace orvella {

inline constexpr std::string_view DeletedTopicsHeading = "\n- TOPIC SEGNATI COME \"DELETED\" -\n\n";
inline constexpr std::string_view UntranslatedTopicsHeading = "\n- HYPERLINK NON TRADOTTI -\n\n";
inline constexpr std::string_view UntranslatedJournalHeading = "\n- FRASI DEL JOURNAL NON TRADOTTE -\n\n";
inline constexpr std::string_view QuestsNotFoundHeading = "\n- MONI QUEST NON TROVATI -\n\n";

// The plain-text log beside the save, stored with every line feed as CR LF. It is gathered in memory and
// treated as the save is: a temporary file created anew receives it whole, synced, and is moved over the
// older log only when the log is kept, so that nothing standing at the log's path, a link included, is ever
// opened or written through.
class PatchLog {
public:
    // Creates the temporary file, a stale one that a killed job left being removed first; false when it
    // cannot be created, or when an older log stands at the path that the move could not replace (a
    // folder, or a file the user may not write, which Windows' move refuses).
    bool open(FileSystem& files, const std::string& path, const std::string& tempPath);
    // Writes to a file opened elsewhere, each text as it comes.
    void attach(std::unique_ptr<File> file);
    bool isOpen() const { return file_ != nullptr; }
    // Adds the text as it stands; write errors do not change the conversion's outcome.
    void write(std::string_view text);
    void writeFirstLine(std::string_view saveFileName);
    // Writes, syncs and moves the log over the older one. When that fails, neither the temporary file nor
    // the older log, which belongs to an earlier conversion, stays; false then.
    bool keep();
    // Deletes the temporary file and the older log.
    void discard();

private:
    void removeFiles();

    FileSystem* files_ = nullptr;
    std::string path_;
    std::string tempPath_;
    std::unique_ptr<File> file_;
    bool gathered_ = false;
    std::string text_;
};

} // namespace orvella
