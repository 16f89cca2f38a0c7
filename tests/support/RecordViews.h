#pragma once

#include "gamebuilder/GameBuilder.h"
#include "platform/MemoryFile.h"
#include "records/RecordStream.h"
#include "records/RecordWriter.h"
#include "records/TranslatedRecord.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvella::test {

// The records of a file held in memory, up to the first that cannot be read; none when it has no count.
inline std::vector<std::unique_ptr<Record>> readRecords(const std::string& bytes) {
    MemoryFile file(bytes);
    RecordStream stream(file, "file");
    std::int32_t count = -1;
    std::vector<std::unique_ptr<Record>> records;
    stream.readRecordCount(count); // a refused count leaves it negative
    for (std::unique_ptr<Record> record;
         std::cmp_less_equal(records.size(), count) && (record = stream.readRecord());)
        records.push_back(std::move(record));
    return records;
}

// The records of a file held in memory up to its end, as OpenMW reads a save, or to the first that cannot be
// read.
inline std::vector<std::unique_ptr<Record>> readAllRecords(const std::string& bytes) {
    MemoryFile file(bytes);
    RecordStream stream(file, "file");
    std::vector<std::unique_ptr<Record>> records;
    for (std::unique_ptr<Record> record; !stream.atEnd() && (record = stream.readRecord());)
        records.push_back(std::move(record));
    return records;
}

inline std::string bytesOf(const Record& record) {
    std::vector<std::uint8_t> out;
    serializeRecord(record, out);
    return std::string(out.begin(), out.end());
}

// What a record's size must be after any edit: its subrecords with their headers.
inline std::uint32_t payloadSize(const Record& record) {
    std::uint32_t total = 0;
    for (const auto& subrecord : record.subrecords())
        total += 8 + subrecord.size();
    return total;
}

// "TAG=text" of each subrecord, the text up to its NUL, joined by "|": a whole layout in one line.
inline std::string layout(const Record& record) {
    std::string out;
    for (const auto& subrecord : record.subrecords())
        out.append(out.empty() ? "" : "|").append(subrecord.tag.str()).append("=").append(subrecord.text());
    return out;
}

// The first record of the file with this tag.
inline std::unique_ptr<Record> takeRecord(const std::string& fileBytes, std::string_view tag) {
    for (auto& record : readRecords(fileBytes))
        if (record->tag().is(tag))
            return std::move(record);
    return nullptr;
}

// A map entry as the scan leaves it: the builder's subrecords, and the text with its NUL as translation.
inline std::unique_ptr<TranslatedRecord>
mapEntry(const build::RecordBuilder& builder, std::optional<std::string_view> translation = std::nullopt) {
    auto plain = builder.build();
    auto entry = std::make_unique<TranslatedRecord>(plain->tag(), 0, 0, 0);
    for (const auto& subrecord : plain->subrecords())
        entry->appendSubrecord(Subrecord(subrecord.tag, subrecord.data));
    if (translation) {
        const std::string text = build::z(*translation);
        entry->setTranslation("-TR-", text.data(), static_cast<std::uint32_t>(text.size()));
    }
    return entry;
}

} // namespace orvella::test
