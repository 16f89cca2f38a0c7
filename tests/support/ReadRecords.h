#pragma once

#include "platform/MemoryFile.h"
#include "records/RecordStream.h"

#include <memory>
#include <string>
#include <vector>

namespace orvella::test {

// The records of a file held in memory, up to the first that cannot be read; none when it has no count.
inline std::vector<std::unique_ptr<Record>> readRecords(const std::string& bytes) {
    MemoryFile file(bytes);
    RecordStream stream(file, "file");
    std::int32_t count = -1;
    std::vector<std::unique_ptr<Record>> records;
    if (!stream.readRecordCount(count))
        return records;
    for (std::int32_t i = 0; i <= count; ++i) {
        auto record = stream.readRecord();
        if (!record)
            break;
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace orvella::test
