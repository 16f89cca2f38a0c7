#pragma once

#include <cstdint>
#include <string>

namespace orvella {

// How a conversion ended.
struct PatchResult {
    std::uint32_t exitCode = 1;
    std::string outcomeText;
    std::string logPath;     // kept after the job, for the report
    bool logKept = false;    // the log file is still beside the save
    bool logOffered = false; // the log is worth showing: journal paragraphs stayed untranslated
};

} // namespace orvella
