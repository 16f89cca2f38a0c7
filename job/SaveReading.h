#pragma once

#include "game/SaveKind.h"
#include "platform/File.h"
#include "records/FormatError.h"
#include "records/Record.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace orvella {

// Takes each record as it is read, with its index (0 for the header record).
using SaveRecordSink = std::function<void(std::unique_ptr<Record> record, std::int64_t index)>;

// What reading a save tells besides its records.
struct SaveShape {
    std::int32_t count = 0;          // the records after the header
    std::uint32_t formatVersion = 0; // of an OpenMW save
};

// The newest save format of OpenMW that a conversion knows.
inline constexpr std::uint32_t LatestOpenMwFormatVersion = 39;

// Reads a whole save from the start of the file with every check a conversion makes before it trusts a save
// of its kind. The original engine's: a TES3 header record whose first subrecord is an HEDR of at least 300
// bytes, every record and subrecord within the file, and as many records as the count at offset 320 says,
// with nothing after them. OpenMW's: a TES3 header record that begins with the save format's version, no
// newer than a conversion knows, and an HEDR, then a SAVE record, records up to the file's end, and every id
// that names a record of the game's files of a kind that can. False, with the fault in error, when the save
// breaks one of these rules; the records taken until then stay taken.
bool readSaveRecords(SaveKind kind, File& file, const std::string& fileName, SaveShape& shape,
                     const SaveRecordSink& take, FormatError& error, ByteChunks* lender = nullptr);

} // namespace orvella
