#include "records/RecordStream.h"

#include "records/Bytes.h"

#include <cstring>

namespace orvella {

namespace {
constexpr std::uint64_t RecordHeaderSize = 16;
constexpr std::uint64_t SubrecordHeaderSize = 8;
} // namespace

RecordStream::RecordStream(File& file, std::string fileName) : file_(file), fileName_(std::move(fileName)) {
    error_.fileName = fileName_;
    std::int64_t start = file_.tell();
    if (start < 0 || !file_.seek(0, SeekOrigin::End)) {
        fail("impossibile leggere il file");
        return;
    }
    std::int64_t end = file_.tell();
    if (end < start || !file_.seek(start, SeekOrigin::Begin)) {
        fail("impossibile leggere il file");
        return;
    }
    offset_ = static_cast<std::uint64_t>(start);
    fileSize_ = static_cast<std::uint64_t>(end);
    valid_ = true;
}

bool RecordStream::fail(std::string problem, std::string recordTag) {
    error_.fileName = fileName_;
    error_.recordTag = std::move(recordTag);
    error_.recordIndex = error_.recordTag.empty() ? -1 : recordsPassed_;
    error_.offset = offset_;
    error_.problem = std::move(problem);
    return false;
}

bool RecordStream::failAt(std::uint64_t offset, std::string problem, std::string recordTag,
                          std::int64_t recordIndex) {
    fail(std::move(problem), std::move(recordTag));
    error_.offset = offset;
    error_.recordIndex = recordIndex;
    return false;
}

bool RecordStream::seekTo(std::uint64_t offset) {
    if (!file_.seek(static_cast<std::int64_t>(offset), SeekOrigin::Begin))
        return fail("impossibile spostarsi nel file");
    offset_ = offset;
    return true;
}

bool RecordStream::readRecordCount(std::int32_t& count) {
    if (!valid_)
        return false;
    if (fileSize_ < RecordCountOffset + 4) {
        offset_ = 0;
        return fail("il file \xE8 troppo corto per contenere il numero dei record");
    }
    std::uint8_t bytes[4];
    if (!seekTo(RecordCountOffset))
        return false;
    if (file_.read(bytes, 4) != 4)
        return fail("lettura non riuscita");
    count = loadI32(bytes);
    if (count < 0)
        return fail("il numero dei record \xE8 negativo");
    return seekTo(0);
}

bool RecordStream::readHeader(Tag& tag, std::int32_t& size, std::uint32_t& headerWord, std::uint32_t& flags) {
    if (!valid_)
        return false;
    if (atEnd())
        return fail("il file contiene meno record di quanti ne indica l'intestazione");
    if (fileSize_ - offset_ < RecordHeaderSize)
        return fail("intestazione del record troncata");
    std::uint8_t header[RecordHeaderSize];
    if (file_.read(header, sizeof header) != sizeof header)
        return fail("lettura non riuscita");
    tag = Tag::fromBytes(header);
    size = loadI32(header + 4);
    headerWord = loadU32(header + 8);
    flags = loadU32(header + 12);
    std::string tagText(tag.text, 4);
    if (size < 0) {
        seekTo(offset_);
        return fail("dimensione del record negativa", tagText);
    }
    if (static_cast<std::uint64_t>(size) > fileSize_ - offset_ - RecordHeaderSize) {
        seekTo(offset_);
        return fail("il record supera la fine del file", tagText);
    }
    return true;
}

std::string_view SubrecordView::text() const {
    const char* start = reinterpret_cast<const char*>(data.data());
    const void* nul = std::memchr(start, 0, data.size());
    return std::string_view(start, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - start)
                                       : data.size());
}

const SubrecordView* RecordView::find(std::string_view tagName) const {
    for (const SubrecordView& subrecord : subrecords)
        if (subrecord.tag.is(tagName))
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
    std::string tagText(tag.text, 4);
    payload_.resize(static_cast<std::size_t>(size));
    if (file_.read(payload_.data(), payload_.size()) != payload_.size()) {
        seekTo(offset_);
        fail("lettura non riuscita", tagText);
        return nullptr;
    }
    view_.tag = tag;
    view_.size = static_cast<std::uint32_t>(size);
    view_.headerWord = headerWord;
    view_.flags = flags;
    view_.subrecords.clear();
    std::size_t at = 0;
    while (at < payload_.size()) {
        std::size_t left = payload_.size() - at;
        std::uint32_t subSize = left >= SubrecordHeaderSize ? loadU32(payload_.data() + at + 4) : 0;
        if (left < SubrecordHeaderSize || subSize > left - SubrecordHeaderSize) {
            std::uint64_t recordStart = offset_;
            seekTo(recordStart);
            failAt(recordStart + RecordHeaderSize + at,
                   subSize > 0x7FFFFFFFu ? "dimensione del sottorecord negativa"
                                         : "un sottorecord supera la fine del record",
                   tagText, recordsPassed_);
            return nullptr;
        }
        view_.subrecords.push_back(
            {Tag::fromBytes(payload_.data() + at), {payload_.data() + at + SubrecordHeaderSize, subSize}});
        at += SubrecordHeaderSize + subSize;
    }
    offset_ += RecordHeaderSize + payload_.size();
    ++recordsPassed_;
    return &view_;
}

std::unique_ptr<Record> RecordStream::readRecord() {
    const RecordView* view = readView();
    return view ? view->build<Record>() : nullptr;
}

std::unique_ptr<TranslatedRecord> RecordStream::readTranslatedRecord() {
    const RecordView* view = readView();
    return view ? view->build<TranslatedRecord>() : nullptr;
}

bool RecordStream::peekTag(Tag& tag) {
    if (!valid_)
        return false;
    if (atEnd())
        return fail("il file contiene meno record di quanti ne indica l'intestazione");
    std::uint8_t bytes[4];
    if (fileSize_ - offset_ < 4)
        return fail("intestazione del record troncata");
    if (file_.read(bytes, 4) != 4 || !file_.seek(static_cast<std::int64_t>(offset_), SeekOrigin::Begin))
        return fail("lettura non riuscita");
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
    std::uint64_t next = offset_ + RecordHeaderSize + static_cast<std::uint64_t>(size);
    if (!seekTo(next))
        return false;
    ++recordsPassed_;
    return true;
}

} // namespace orvella
