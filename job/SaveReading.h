#pragma once

#include "platform/File.h"
#include "records/FormatError.h"
#include "records/Record.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace orvella {

// Takes each record as it is read, with its index (0 for the header record) and the record count.
using SaveRecordSink =
    std::function<void(std::unique_ptr<Record> record, std::int64_t index, std::int32_t count)>;

// Reads a whole save from the start of the file with every check a conversion makes before it trusts a save:
// a TES3 header record whose first subrecord is an HEDR of at least 300 bytes, every record and subrecord
// within the file, and as many records as the count at offset 320 says, with nothing after them. False, with
// the fault in error, when the save breaks one of these rules; the records taken until then stay taken.
bool readSaveRecords(File& file, const std::string& fileName, std::int32_t& count, const SaveRecordSink& take,
                     FormatError& error, ByteChunks* lender = nullptr);

} // namespace orvella
