#pragma once

#include "platform/FileSystem.h"

#include <string>

namespace orvella {

// What the report dialog shows: its title and the text of its box.
struct ReportContent {
    std::string title;
    std::string body;
};

// The report of the patch log at logPath, read afresh: the log's first line (without the carriage return
// before its line feed) as the title and the rest as the body. A log that cannot be read, or that has no
// line feed, gives the title "Errore!" and a text that names the path.
ReportContent loadReportContent(FileSystem& files, const std::string& logPath);

} // namespace orvella
