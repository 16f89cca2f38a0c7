#include "job/SaveReading.h"

#include "game/UserTexts.h"
#include "records/Bytes.h"
#include "records/RecordStream.h"
#include "records/SaveId.h"
#include "scan/ItemTags.h"

#include <iterator>
#include <span>

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

bool readEssRecords(RecordStream& stream, SaveShape& shape, const SaveRecordSink& take, ByteChunks* lender) {
    bool ok = stream.readRecordCount(shape.count);
    for (std::int64_t i = 0; ok && i <= shape.count; ++i) {
        auto record = stream.readRecord(lender);
        ok = record && (i != 0 || checkHeaderRecord(stream, *record));
        if (ok)
            take(std::move(record), i);
    }
    if (ok && !stream.atEnd())
        ok = stream.fail(texts::BytesAfterLastRecord);
    return ok;
}

// The version of OpenMW's save format comes first, since it tells how the rest is written.
bool checkOpenMwHeader(RecordStream& stream, const Record& header, SaveShape& shape) {
    if (!header.tag().is("TES3"))
        return stream.failAt(0, texts::NoTes3Record, std::string(header.tag().text, 4), 0);
    if (header.subrecordCount() == 0 || !header.subrecordAt(0).tag.is("FORM") ||
        header.subrecordAt(0).size() != 4)
        return stream.failAt(RecordHeaderSize, texts::NoFormInHeader, "TES3", 0);
    shape.formatVersion = loadU32(header.subrecordAt(0).data.data());
    if (shape.formatVersion > LatestOpenMwFormatVersion)
        return stream.failAt(RecordHeaderSize, texts::openMwFormatTooNew(shape.formatVersion), "TES3", 0,
                             "FORM");
    if (header.subrecordCount() < 2 || !header.subrecordAt(1).tag.is("HEDR"))
        return stream.failAt(RecordHeaderSize, texts::NoHedrInHeader, "TES3", 0);
    return true;
}

// The subrecords whose ids a conversion looks up in the game's files, and whether OpenMW writes each with
// its id writer: the known topics and the names of the records a save holds whole are typed, the journal's
// topics and responses plain text.
struct IdField {
    bool (*inRecord)(const Tag& record);
    const char* subrecord;
    bool typed;
};
const IdField IdFields[] = {
    {[](const Tag& record) { return record.is("DIAS"); }, "TOPI", true},
    {[](const Tag& record) { return record.is("JOUR"); }, "YETO", false},
    {[](const Tag& record) { return record.is("JOUR"); }, "YEIN", false},
    {[](const Tag& record) { return record.is("NPC_") || isItemTag(record); }, "NAME", true},
};

bool checkIds(RecordStream& stream, const Record& record, std::uint64_t at, std::int64_t index,
              std::uint32_t formatVersion) {
    // Most records, the cells' states among them, hold no such field: their subrecords are not walked.
    const IdField* fields[std::size(IdFields)];
    std::size_t fieldCount = 0;
    for (const IdField& field : IdFields)
        if (field.inRecord(record.tag()))
            fields[fieldCount++] = &field;
    if (fieldCount == 0)
        return true;
    std::uint64_t subrecordAt = at + RecordHeaderSize;
    for (const Subrecord& subrecord : record.subrecords()) {
        for (const IdField* field : std::span(fields, fieldCount))
            if (subrecord.tag.is(field->subrecord) &&
                !readSaveId({subrecord.data.data(), subrecord.size()}, formatVersion, field->typed))
                return stream.failAt(subrecordAt, texts::UnknownIdKind, std::string(record.tag().text, 4),
                                     index, field->subrecord);
        subrecordAt += SubrecordHeaderSize + subrecord.size();
    }
    return true;
}

bool readOpenMwRecords(RecordStream& stream, SaveShape& shape, const SaveRecordSink& take,
                       ByteChunks* lender) {
    std::int64_t index = 0;
    for (; !stream.atEnd(); ++index) {
        const std::uint64_t at = stream.offset();
        auto record = stream.readRecord(lender);
        if (!record)
            return false;
        if (index == 0 && !checkOpenMwHeader(stream, *record, shape))
            return false;
        if (index == 1 && !record->tag().is("SAVE"))
            return stream.failAt(at, texts::NoSaveRecord, std::string(record->tag().text, 4), 1);
        if (index > 1 && !checkIds(stream, *record, at, index, shape.formatVersion))
            return false;
        take(std::move(record), index);
    }
    if (index < 2)
        return stream.fail(index == 0 ? texts::NoTes3Record : texts::NoSaveRecord);
    shape.count = static_cast<std::int32_t>(index - 1);
    return true;
}

} // namespace

bool readSaveRecords(SaveKind kind, File& file, const std::string& fileName, SaveShape& shape,
                     const SaveRecordSink& take, FormatError& error, ByteChunks* lender) {
    RecordStream stream(file, fileName);
    shape = SaveShape();
    const bool ok =
        stream.valid() && (kind == SaveKind::Ess ? readEssRecords(stream, shape, take, lender)
                                                 : readOpenMwRecords(stream, shape, take, lender));
    if (!ok)
        error = stream.error();
    return ok;
}

} // namespace orvella
