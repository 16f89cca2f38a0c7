#pragma once

#include <cstdint>
#include <string>

namespace orvella {

// Why a game file could not be read: the file, the record, the subrecord and the byte offset where reading
// stopped.
struct FormatError {
    std::string fileName;
    std::string recordTag;         // empty when the fault lies outside any record
    std::int64_t recordIndex = -1; // 0 for the header record; -1 when unknown
    std::string subrecordTag;      // empty when the fault lies outside any subrecord
    std::uint64_t offset = 0;
    std::string problem; // what is wrong, in the user's language

    // The full text shown to the user.
    std::string message() const;
};

} // namespace orvella
