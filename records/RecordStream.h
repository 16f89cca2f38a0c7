#pragma once

#include "platform/File.h"
#include "records/FormatError.h"
#include "records/Record.h"
#include "records/RecordLayout.h"
#include "records/TranslatedRecord.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

// A subrecord as it stands in a stream's buffer.
struct SubrecordView {
    Tag tag;
    std::span<const std::uint8_t> data;

    std::uint32_t size() const { return static_cast<std::uint32_t>(data.size()); }
    // The data as text, up to its first NUL or to its end when it holds none.
    std::string_view text() const;
};

// A record read and checked but not copied: it lives in the stream's buffer until the stream reads again.
// The scan looks at most records only for their ID and their text, so it builds a Record only for those it
// keeps.
struct RecordView {
    Tag tag;
    std::uint32_t size = 0;
    std::uint32_t headerWord = 0;
    std::uint32_t flags = 0;
    std::vector<SubrecordView> subrecords; // in file order

    // The first subrecord with the tag, as Record::findSubrecord finds it in a record just read.
    const SubrecordView* find(std::string_view tagName) const;
    // The record with its bytes copied into a block of its own, or into one the lender lends it.
    template <typename RecordType> std::unique_ptr<RecordType> build(ByteChunks* lender = nullptr) const {
        return build<RecordType>(lender, [](const Tag&) { return true; });
    }
    // The same with only the subrecords whose tag keep accepts, in file order, the size counting those alone.
    template <typename RecordType, typename Keep>
    std::unique_ptr<RecordType> build(ByteChunks* lender, Keep keep) const;
};

// Walks a file of the game's record format. Every read is checked against the file's length, so a
// truncated or inconsistent file stops with a FormatError instead of being read past its end. While it
// walks, the stream is the file's only reader: it knows where the file stands and seeks only to go elsewhere.
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
    // Reads the next record with all its subrecords, its bytes lent by the lender when one is given; null on
    // a format error.
    std::unique_ptr<Record> readRecord(ByteChunks* lender = nullptr);
    std::unique_ptr<TranslatedRecord> readTranslatedRecord();
    // Reads and checks the next record like readRecord, without copying it; null on a format error.
    const RecordView* readView();
    // Reads the next record's tag without moving; false at the end of the file.
    bool peekTag(Tag& tag);
    // Passes over the next record by seeking; its subrecords are never read.
    bool skipRecord();

    // Records a fault found by a caller at the current position.
    bool fail(std::string problem, std::string recordTag = {});
    // Records a fault found by a caller at an earlier position of the file, in a subrecord when its tag is
    // given.
    bool failAt(std::uint64_t offset, std::string problem, std::string recordTag, std::int64_t recordIndex,
                std::string subrecordTag = {});

private:
    static constexpr std::uint64_t UnknownPosition = UINT64_MAX;

    bool readHeader(Tag& tag, std::int32_t& size, std::uint32_t& headerWord, std::uint32_t& flags);
    // The file's bytes [at, at + size), read through a buffer of the stream's own; null, with the error
    // recorded, when they cannot be read. They stay valid until the next call.
    const std::uint8_t* bytesAt(std::uint64_t at, std::uint64_t size);

    File& file_;
    std::string fileName_;
    bool valid_ = false;
    std::uint64_t fileSize_ = 0;
    std::uint64_t offset_ = 0;
    std::int64_t recordsPassed_ = 0;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t bufferStart_ = 0;
    std::uint64_t filePosition_ = UnknownPosition;
    RecordView view_;
    FormatError error_;
};

template <typename RecordType, typename Keep>
std::unique_ptr<RecordType> RecordView::build(ByteChunks* lender, Keep keep) const {
    std::size_t bytes = 0, count = 0;
    for (const SubrecordView& subrecord : subrecords)
        if (keep(subrecord.tag)) {
            bytes += subrecord.data.size();
            ++count;
        }
    const std::uint32_t keptSize =
        count == subrecords.size() ? size : static_cast<std::uint32_t>(bytes + count * SubrecordHeaderSize);
    auto record = std::make_unique<RecordType>(tag, keptSize, headerWord, flags);
    std::uint8_t* block = record->readBlock(bytes, count, lender);
    for (const SubrecordView& subrecord : subrecords) {
        if (!keep(subrecord.tag))
            continue;
        if (!subrecord.data.empty())
            std::memcpy(block, subrecord.data.data(), subrecord.data.size());
        record->adoptReadSubrecord(subrecord.tag, block, subrecord.size());
        block += subrecord.data.size();
    }
    return record;
}

} // namespace orvella
