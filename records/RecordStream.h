#pragma once

#include "platform/File.h"
#include "records/FormatError.h"
#include "records/Record.h"
#include "records/TranslatedRecord.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvella {

// Byte offset of the record count in every file of the game's record format.
constexpr std::int64_t RecordCountOffset = 320;

// Walks a file of the game's record format. Every read is checked against the file's length, so a
// truncated or inconsistent file stops with a FormatError instead of being read past its end.
class RecordStream {
public:
    RecordStream(File& file, std::string fileName);

    // False when the file's length cannot be taken; error() then says why.
    bool valid() const { return valid_; }
    const FormatError& error() const { return error_; }
    std::uint64_t offset() const { return offset_; }
    std::uint64_t fileSize() const { return fileSize_; }
    bool atEnd() const { return offset_ >= fileSize_; }
    // Counts records as they are read or skipped, for the error messages.
    std::int64_t recordsPassed() const { return recordsPassed_; }

    // Reads the signed count at offset 320 and goes back to the start of the file.
    bool readRecordCount(std::int32_t& count);
    // Reads the next record with all its subrecords; null on a format error.
    std::unique_ptr<Record> readRecord();
    std::unique_ptr<TranslatedRecord> readTranslatedRecord();
    // Reads the next record's tag without moving; false at the end of the file.
    bool peekTag(Tag& tag);
    // Passes over the next record by seeking; its subrecords are never read.
    bool skipRecord();

    // Records a fault found by a caller at the current position.
    bool fail(std::string problem, std::string recordTag = {});
    // Records a fault found by a caller at an earlier position of the file.
    bool failAt(std::uint64_t offset, std::string problem, std::string recordTag, std::int64_t recordIndex);

private:
    template <typename RecordType> std::unique_ptr<RecordType> read();
    bool readHeader(Tag& tag, std::int32_t& size, std::uint32_t& headerWord, std::uint32_t& flags);
    bool seekTo(std::uint64_t offset);

    File& file_;
    std::string fileName_;
    bool valid_ = false;
    std::uint64_t fileSize_ = 0;
    std::uint64_t offset_ = 0;
    std::int64_t recordsPassed_ = 0;
    std::vector<std::uint8_t> payload_;
    FormatError error_;
};

} // namespace orvella
