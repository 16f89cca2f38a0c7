#include "job/SaveReading.h"

#include "game/UserTexts.h"
#include "records/RecordStream.h"

namespace orvella {

namespace {

// The header's first subrecord must be a full HEDR, since the record count is read and written inside it.
bool checkHeaderRecord(RecordStream& stream, const Record& header) {
    if (!header.tag().is("TES3"))
        return stream.failAt(0, texts::NoTes3Record, std::string(header.tag().text, 4), 0);
    if (header.subrecordCount() == 0 || !header.subrecordAt(0).tag.is("HEDR"))
        return stream.failAt(0, texts::NoHedrInHeader, "TES3", 0);
    if (header.subrecordAt(0).size() < 300)
        return stream.failAt(RecordHeaderSize, texts::ShortHedr, "TES3", 0, "HEDR");
    return true;
}

} // namespace

bool readSaveRecords(File& file, const std::string& fileName, std::int32_t& count, const SaveRecordSink& take,
                     FormatError& error, ByteChunks* lender) {
    RecordStream stream(file, fileName);
    count = 0;
    bool ok = stream.readRecordCount(count);
    for (std::int64_t i = 0; ok && i <= count; ++i) {
        auto record = stream.readRecord(lender);
        ok = record && (i != 0 || checkHeaderRecord(stream, *record));
        if (ok)
            take(std::move(record), i, count);
    }
    if (ok && !stream.atEnd())
        ok = stream.fail(texts::BytesAfterLastRecord);
    if (!ok)
        error = stream.error();
    return ok;
}

} // namespace orvella
