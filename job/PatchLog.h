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

// The plain-text log beside the save, opened in text mode so every line feed is stored as CR LF. The file
// that open creates receives the log in one piece when it is closed: a save with hundreds of unknown quests
// and topics logs them in thousands of pieces, and the file is read only after the job.
class PatchLog {
public:
    bool open(FileSystem& files, const std::string& path);
    // Writes to a file opened elsewhere, each text as it comes.
    void attach(std::unique_ptr<File> file);
    bool isOpen() const { return file_ != nullptr; }
    // Adds the text as it stands; write errors do not change the conversion's outcome.
    void write(std::string_view text);
    void writeFirstLine(std::string_view saveFileName);
    void close();

private:
    std::unique_ptr<File> file_;
    bool gathered_ = false;
    std::string text_;
};

} // namespace orvella
