// Feeds arbitrary bytes to the record reader. Whatever it accepts must write back as the very bytes it
// came from; whatever it refuses must be refused with a message, never with a read outside the input.

#include "platform/MemoryFile.h"
#include "records/RecordStream.h"
#include "records/RecordWriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace orvella {
namespace {

constexpr std::uint64_t RecordHeaderSize = 16;

void require(bool condition, const char* fault) {
    if (!condition) {
        std::fprintf(stderr, "record reader fault: %s\n", fault);
        std::abort();
    }
}

void requireRefusal(const RecordStream& stream, std::size_t inputSize) {
    const FormatError& error = stream.error();
    require(!error.problem.empty() && !error.message().empty(), "a refusal without a reason or a message");
    require(error.fileName == "fuzz.ess", "a refusal that does not name the file");
    require(error.offset <= inputSize, "a refusal at an offset past the end of the input");
}

void readAll(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    MemoryFile readFile(bytes);
    MemoryFile skipFile(bytes);
    RecordStream reader(readFile, "fuzz.ess");
    RecordStream skipper(skipFile, "fuzz.ess");
    require(reader.valid() && skipper.valid(), "a memory file whose length cannot be taken");

    std::int32_t count = 0;
    if (!reader.readRecordCount(count)) {
        requireRefusal(reader, size);
        return;
    }
    require(count >= 0 && reader.offset() == 0, "a record count that is negative or leaves the stream moved");

    std::vector<std::uint8_t> written;
    // The header record and the counted ones; the end of the input stops a count that is too large.
    for (std::int64_t i = 0; i <= count; ++i) {
        std::uint64_t start = reader.offset();
        Tag peeked;
        bool peekedOk = reader.peekTag(peeked);
        require(reader.offset() == start, "peekTag moved the stream");
        auto record = reader.readRecord();
        if (!record) {
            requireRefusal(reader, size);
            return;
        }
        require(peekedOk && peeked.sameBytes(record->tag()), "peekTag disagrees with readRecord");
        require(reader.offset() <= size, "a record that ends past the input");

        written.clear();
        serializeRecord(*record, written);
        require(written.size() == reader.offset() - start, "a record that writes back to another length");
        require(std::memcmp(written.data(), data + start, written.size()) == 0,
                "a record that writes back to other bytes");
        require(record->size() + RecordHeaderSize == written.size(), "a record size that does not add up");

        // Skipping needs only the record header, so it must reach every record that reading reaches.
        require(skipper.skipRecord(), "skipRecord refuses a record that readRecord accepts");
        require(skipper.offset() == reader.offset(), "skipRecord and readRecord end at different offsets");
        require(reader.recordsPassed() == i + 1 && skipper.recordsPassed() == i + 1, "records miscounted");
    }
}

} // namespace
} // namespace orvella

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orvella::readAll(data, size);
    return 0;
}
