#include "records/RecordStream.h"

#include "game/UserTexts.h"
#include "records/Bytes.h"

#include <algorithm>
#include <cstring>

namespace orvella {

namespace {
// Reading on through the file takes large reads; after a jump past skipped records a small one, since the
// next record may well be skipped too.
constexpr std::uint64_t WalkingReadBytes = 64 * 1024;
constexpr std::uint64_t JumpingReadBytes = 4 * 1024;
} // namespace

RecordStream::RecordStream(File& file, std::string fileName) : file_(file), fileName_(std::move(fileName)) {
    error_.fileName = fileName_;
    std::int64_t start = file_.tell();
    if (start < 0 || !file_.seek(0, SeekOrigin::End)) {
        fail(texts::CannotReadFile);
        return;
    }
    std::int64_t end = file_.tell();
    if (end < start || !file_.seek(start, SeekOrigin::Begin)) {
        fail(texts::CannotReadFile);
        return;
    }
    offset_ = static_cast<std::uint64_t>(start);
    fileSize_ = static_cast<std::uint64_t>(end);
    filePosition_ = offset_;
    valid_ = true;
}

bool RecordStream::fail(std::string problem, std::string recordTag) {
    error_.fileName = fileName_;
    error_.recordTag = std::move(recordTag);
    error_.subrecordTag.clear();
    error_.recordIndex = error_.recordTag.empty() ? -1 : recordsPassed_;
    error_.offset = offset_;
    error_.problem = std::move(problem);
    return false;
}

bool RecordStream::failAt(std::uint64_t offset, std::string problem, std::string recordTag,
                          std::int64_t recordIndex, std::string subrecordTag) {
    fail(std::move(problem), std::move(recordTag));
    error_.offset = offset;
    error_.recordIndex = recordIndex;
    error_.subrecordTag = std::move(subrecordTag);
    return false;
}

const std::uint8_t* RecordStream::bytesAt(std::uint64_t at, std::uint64_t size) {
    const std::uint64_t bufferEnd = bufferStart_ + buffer_.size();
    if (at >= bufferStart_ && at + size <= bufferEnd)
        return buffer_.data() + (at - bufferStart_);
    const bool walking = at >= bufferStart_ && at <= bufferEnd;
    const std::uint64_t want = std::min(std::max(size, walking ? WalkingReadBytes : JumpingReadBytes),
                                        fileSize_ - std::min(at, fileSize_));
    if (at != filePosition_ && !file_.seek(static_cast<std::int64_t>(at), SeekOrigin::Begin)) {
        filePosition_ = UnknownPosition;
        fail(texts::CannotSeekFile);
        return nullptr;
    }
    buffer_.resize(static_cast<std::size_t>(want));
    const std::size_t got = want ? file_.read(buffer_.data(), buffer_.size()) : 0;
    buffer_.resize(got);
    bufferStart_ = at;
    filePosition_ = at + got;
    if (got < size) {
        fail(texts::ReadFailed);
        return nullptr;
    }
    return buffer_.data();
}

bool RecordStream::readRecordCount(std::int32_t& count) {
    if (!valid_)
        return false;
    if (fileSize_ < RecordCountOffset + 4) {
        offset_ = 0;
        return fail(texts::TooShortForRecordCount);
    }
    offset_ = RecordCountOffset;
    const std::uint8_t* bytes = bytesAt(RecordCountOffset, 4);
    if (!bytes)
        return false;
    count = loadI32(bytes);
    if (count < 0)
        return fail(texts::NegativeRecordCount);
    offset_ = 0;
    return true;
}

bool RecordStream::readHeader(Tag& tag, std::int32_t& size, std::uint32_t& headerWord, std::uint32_t& flags) {
    if (!valid_)
        return false;
    if (atEnd())
        return fail(texts::FewerRecordsThanCounted);
    if (fileSize_ - offset_ < RecordHeaderSize)
        return fail(texts::TruncatedRecordHeader);
    const std::uint8_t* header = bytesAt(offset_, RecordHeaderSize);
    if (!header)
        return false;
    tag = Tag::fromBytes(header);
    size = loadI32(header + 4);
    headerWord = loadU32(header + 8);
    flags = loadU32(header + 12);
    if (size < 0)
        return fail(texts::NegativeRecordSize, std::string(tag.text, 4));
    if (static_cast<std::uint64_t>(size) > fileSize_ - offset_ - RecordHeaderSize)
        return fail(texts::RecordPastFileEnd, std::string(tag.text, 4));
    return true;
}

std::string_view SubrecordView::text() const {
    const char* start = reinterpret_cast<const char*>(data.data());
    const void* nul = std::memchr(start, 0, data.size());
    return std::string_view(start, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - start)
                                       : data.size());
}

const SubrecordView* RecordView::find(std::string_view tagName) const {
    const bool full = Tag::isFull(tagName);
    for (const SubrecordView& subrecord : subrecords)
        if (subrecord.tag.is(tagName, full))
            return &subrecord;
    return nullptr;
}

const RecordView* RecordStream::readView() {
    Tag tag;
    std::int32_t size = 0;
    std::uint32_t headerWord = 0;
    std::uint32_t flags = 0;
    if (!readHeader(tag, size, headerWord, flags))
        return nullptr;
    const std::uint8_t* payload = bytesAt(offset_ + RecordHeaderSize, static_cast<std::uint64_t>(size));
    if (!payload) {
        error_.recordTag = std::string(tag.text, 4);
        error_.recordIndex = recordsPassed_;
        return nullptr;
    }
    std::string_view tagText(tag.text, 4);
    view_.tag = tag;
    view_.size = static_cast<std::uint32_t>(size);
    view_.headerWord = headerWord;
    view_.flags = flags;
    view_.subrecords.clear();
    const auto payloadSize = static_cast<std::size_t>(size);
    std::size_t at = 0;
    while (at < payloadSize) {
        std::size_t left = payloadSize - at;
        std::uint32_t subSize = left >= SubrecordHeaderSize ? loadU32(payload + at + 4) : 0;
        if (left < SubrecordHeaderSize || subSize > left - SubrecordHeaderSize) {
            // The subrecord is named when its tag at least lies within the record.
            std::string subrecordTag =
                left >= 4 ? std::string(reinterpret_cast<const char*>(payload + at), 4) : "";
            failAt(offset_ + RecordHeaderSize + at,
                   subSize > 0x7FFFFFFFu ? texts::NegativeSubrecordSize : texts::SubrecordPastRecordEnd,
                   std::string(tagText), recordsPassed_, std::move(subrecordTag));
            return nullptr;
        }
        // Filled where it stands: a view built aside and copied in was read back before its parts were
        // all stored, which stalled every subrecord.
        SubrecordView& subrecord = view_.subrecords.emplace_back();
        std::memcpy(subrecord.tag.text, payload + at, 4);
        subrecord.data = {payload + at + SubrecordHeaderSize, subSize};
        at += SubrecordHeaderSize + subSize;
    }
    offset_ += RecordHeaderSize + payloadSize;
    ++recordsPassed_;
    return &view_;
}

std::unique_ptr<Record> RecordStream::readRecord(ByteChunks* lender) {
    const RecordView* view = readView();
    return view ? view->build<Record>(lender) : nullptr;
}

std::unique_ptr<TranslatedRecord> RecordStream::readTranslatedRecord() {
    const RecordView* view = readView();
    return view ? view->build<TranslatedRecord>() : nullptr;
}

bool RecordStream::peekTag(Tag& tag) {
    if (!valid_)
        return false;
    if (atEnd())
        return fail(texts::FewerRecordsThanCounted);
    if (fileSize_ - offset_ < 4)
        return fail(texts::TruncatedRecordHeader);
    const std::uint8_t* bytes = bytesAt(offset_, 4);
    if (!bytes)
        return false;
    tag = Tag::fromBytes(bytes);
    return true;
}

bool RecordStream::skipRecord() {
    Tag tag;
    std::int32_t size = 0;
    std::uint32_t headerWord = 0;
    std::uint32_t flags = 0;
    if (!readHeader(tag, size, headerWord, flags))
        return false;
    // Nothing of the record is read: the next read starts past it.
    offset_ += RecordHeaderSize + static_cast<std::uint64_t>(size);
    ++recordsPassed_;
    return true;
}

} // namespace orvella
