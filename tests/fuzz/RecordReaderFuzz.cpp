// Feeds arbitrary bytes to the record reader. Whatever it accepts must write back as the very bytes it came
// from; whatever it refuses must be refused with a message, never with a read outside the input.

#include "FuzzSupport.h"
#include "platform/MemoryFile.h"
#include "records/RecordStream.h"
#include "records/RecordWriter.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace orvella::fuzz {
namespace {

void requireRefusal(const RecordStream& stream, std::size_t inputSize) {
    const FormatError& error = stream.error();
    require(!error.problem.empty() && !error.message().empty() && error.fileName == "fuzz.ess" &&
                error.offset <= inputSize,
            "a refusal without a reason or a message, without the file's name, or past the end of the input");
}

void readAll(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    MemoryFile file(bytes);
    RecordStream reader(file, "fuzz.ess");
    require(reader.valid(), "a memory file whose length cannot be taken");
    std::int32_t count = 0;
    if (!reader.readRecordCount(count))
        return requireRefusal(reader, size);
    require(count >= 0 && reader.offset() == 0, "a record count that is negative or leaves the stream moved");

    // The header record and the counted ones; the end of the input stops a count that is too large.
    for (std::int64_t i = 0; i <= count; ++i) {
        const std::uint64_t start = reader.offset();
        auto record = reader.readRecord();
        if (!record)
            return requireRefusal(reader, size);
        require(reader.offset() <= size, "a record that ends past the input");
        std::vector<std::uint8_t> written;
        serializeRecord(*record, written);
        require(written.size() == reader.offset() - start &&
                    std::memcmp(written.data(), data + start, written.size()) == 0,
                "a record that writes back to other bytes");
        require(record->size() + 16 == written.size(), "a record size that does not add up");
        require(reader.recordsPassed() == i + 1, "records miscounted");
    }
}

} // namespace
} // namespace orvella::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orvella::fuzz::readAll(data, size);
    return 0;
}
