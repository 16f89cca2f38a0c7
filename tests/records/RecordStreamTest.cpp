#include "gamebuilder/GameBuilder.h"
#include "platform/MemoryFile.h"
#include "records/RecordStream.h"
#include "records/RecordWriter.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::GameFileBuilder;
using build::RecordBuilder;

// Reads every record the count at offset 320 announces and writes them back.
std::string readAndWriteAll(const std::string& bytes, FormatError* error = nullptr) {
    MemoryFile file(bytes);
    RecordStream stream(file, "test.ess");
    std::int32_t count = 0;
    if (!stream.readRecordCount(count)) {
        if (error)
            *error = stream.error();
        return {};
    }
    std::vector<std::uint8_t> out;
    for (std::int32_t i = 0; i <= count; ++i) {
        auto record = stream.readRecord();
        if (!record) {
            if (error)
                *error = stream.error();
            return {};
        }
        serializeRecord(*record, out);
    }
    return std::string(out.begin(), out.end());
}

GameFileBuilder sampleSave() {
    build::FileHeader header{.kind = build::FileKind::Save, .masters = {{"Morrowind.esm", 79837557}}};
    GameFileBuilder file(header);
    file.add(RecordBuilder("NPC_", 0x1234, 0x400).text("NAME", "fargoth").text("FNAM", "Fargoth"));
    file.add(RecordBuilder("GAME"));
    file.add(RecordBuilder("INFO").sub("DATA", "a").sub("DATA", "b").sub("NAME", std::string("\0\0\xFF", 3)));
    return file;
}

TEST(RecordRoundTrip, ASyntheticSaveIsWrittenBackByteForByte) {
    std::string bytes = sampleSave().bytes();
    EXPECT_EQ(readAndWriteAll(bytes), bytes);
}

TEST(RecordRoundTrip, EveryRealSaveIsWrittenBackByteForByte) {
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ORVELLA_REAL_SAVES)) {
        if (entry.path().extension() != ".ess")
            continue;
        std::string bytes = build::readBytes(entry.path().string());
        ASSERT_FALSE(bytes.empty());
        FormatError error;
        EXPECT_EQ(readAndWriteAll(bytes, &error), bytes) << entry.path() << ": " << error.message();
        ++seen;
    }
    EXPECT_GE(seen, 2);
}

TEST(RecordStreamWalk, PeekSkipAndReadAgreeOnPositions) {
    std::string bytes = sampleSave().bytes();
    MemoryFile file(bytes);
    RecordStream stream(file, "x.esm");
    std::int32_t count = -1;
    ASSERT_TRUE(stream.readRecordCount(count));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(stream.offset(), 0u);
    Tag tag;
    ASSERT_TRUE(stream.peekTag(tag));
    EXPECT_TRUE(tag.is("TES3"));
    ASSERT_TRUE(stream.peekTag(tag));
    EXPECT_TRUE(tag.is("TES3"));
    ASSERT_TRUE(stream.skipRecord());
    ASSERT_TRUE(stream.peekTag(tag));
    EXPECT_TRUE(tag.is("NPC_"));
    auto npc = stream.readRecord();
    ASSERT_TRUE(npc);
    EXPECT_EQ(npc->headerWord(), 0x1234u);
    EXPECT_EQ(npc->flags(), 0x400u);
    ASSERT_TRUE(stream.skipRecord());
    ASSERT_TRUE(stream.skipRecord());
    EXPECT_TRUE(stream.atEnd());
    EXPECT_FALSE(stream.peekTag(tag));
}

struct Damage {
    const char* name;
    std::string (*apply)(std::string bytes);
    const char* problem;
};

std::string setI32(std::string bytes, std::size_t offset, std::int32_t value) {
    std::string encoded = build::u32(static_cast<std::uint32_t>(value));
    bytes.replace(offset, 4, encoded);
    return bytes;
}

// Offset of the first record after the header.
std::size_t firstRecord(const std::string& bytes) {
    return 16 + static_cast<std::size_t>(static_cast<unsigned char>(bytes[4])) +
           (static_cast<std::size_t>(static_cast<unsigned char>(bytes[5])) << 8) +
           (static_cast<std::size_t>(static_cast<unsigned char>(bytes[6])) << 16);
}

TEST(RecordStreamFaults, EachMalformedFileStopsWithItsProblemAndOffset) {
    const std::string good = sampleSave().bytes();
    const std::size_t npc = firstRecord(good);
    const Damage cases[] = {
        {"empty file", [](std::string) { return std::string(); }, "troppo corto"},
        {"negative count", [](std::string b) { return setI32(b, 320, -1); }, "negativo"},
        {"count too high", [](std::string b) { return setI32(b, 320, 4); }, "meno record"},
        {"truncated record header",
         [](std::string b) { return setI32(b, 320, 4) + std::string("GAME\x01\x00", 6); }, "troncata"},
        {"negative record size",
         [](std::string b) { return setI32(b, firstRecord(b) + 4, -5); }, "negativa"},
        {"payload past the end",
         [](std::string b) { return setI32(b, firstRecord(b) + 4, 1 << 20); }, "fine del file"},
        {"subrecord crossing its record",
         [](std::string b) { return setI32(b, firstRecord(b) + 16 + 4, 200); }, "fine del record"},
        {"negative subrecord size",
         [](std::string b) { return setI32(b, firstRecord(b) + 16 + 4, -2); }, "negativa"},
    };
    for (const Damage& damage : cases) {
        FormatError error;
        EXPECT_EQ(readAndWriteAll(damage.apply(good), &error), "") << damage.name;
        EXPECT_NE(error.problem.find(damage.problem), std::string::npos) << damage.name << ": " << error.problem;
        EXPECT_EQ(error.fileName, "test.ess");
        EXPECT_NE(error.message().find("test.ess"), std::string::npos);
    }
    FormatError error;
    readAndWriteAll(setI32(good, npc + 16 + 4, 200), &error);
    EXPECT_EQ(error.recordTag, "NPC_");
    EXPECT_EQ(error.recordIndex, 1);
    EXPECT_EQ(error.offset, npc + 16);
}

TEST(RecordStreamFaults, ARecordWithNoHandlerIsSkippedWithoutReadingItsSubrecords) {
    // Subrecord sizes inside a skipped record are never looked at.
    std::string bytes = sampleSave().bytes();
    std::size_t npc = firstRecord(bytes);
    bytes = setI32(bytes, npc + 16 + 4, 1 << 30);
    MemoryFile skipped(bytes);
    RecordStream skipping(skipped, "x.esm");
    ASSERT_TRUE(skipping.skipRecord());
    EXPECT_TRUE(skipping.skipRecord());
    EXPECT_TRUE(skipping.skipRecord());

    MemoryFile read(bytes);
    RecordStream reading(read, "x.esm");
    ASSERT_TRUE(reading.skipRecord());
    EXPECT_FALSE(reading.readRecord());
}

} // namespace
} // namespace orvella
