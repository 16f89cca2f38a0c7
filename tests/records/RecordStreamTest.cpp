#include "RecordViews.h"
#include "records/Bytes.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;

// A file held in memory that may refuse to seek back to a position from its start, or read half of what is
// asked.
class FaultyFile final : public File {
public:
    enum Fault { None, SeekBack, ShortRead };
    FaultyFile(const std::string& bytes, Fault fault) : file_(bytes), fault_(fault) {}
    std::size_t read(void* buffer, std::size_t size) override {
        return file_.read(buffer, fault_ == ShortRead ? size / 2 : size);
    }
    std::size_t write(const void*, std::size_t) override { return 0; }
    bool seek(std::int64_t offset, SeekOrigin origin) override {
        return !(fault_ == SeekBack && origin == SeekOrigin::Begin) && file_.seek(offset, origin);
    }
    std::int64_t tell() override { return file_.tell(); }
    bool flush() override { return true; }
    bool close() override { return true; }

private:
    MemoryFile file_;
    Fault fault_;
};

// Reads every record the count at offset 320 announces and writes them back; empty with the error on failure.
// Files that read are also written back byte for byte by the record reader's fuzz target, real saves
// included.
std::string readAndWriteAll(const std::string& bytes, FormatError* error = nullptr,
                            FaultyFile::Fault fault = FaultyFile::None) {
    FaultyFile file(bytes, fault);
    RecordStream stream(file, "test.ess");
    std::int32_t count = 0;
    std::vector<std::uint8_t> out;
    bool ok = stream.readRecordCount(count);
    for (std::int32_t i = 0; ok && i <= count; ++i) {
        auto record = stream.readRecord();
        ok = record != nullptr;
        if (ok)
            serializeRecord(*record, out);
    }
    if (!ok && error)
        *error = stream.error();
    return ok ? std::string(out.begin(), out.end()) : std::string();
}

std::string sampleSave() {
    build::GameFileBuilder file({.kind = build::FileKind::Save, .masters = {{"Morrowind.esm", 79837557}}});
    file.add(RecordBuilder("NPC_", 0x1234, 0x400).text("NAME", "fargoth").text("FNAM", "Fargoth"))
        .add(RecordBuilder("GAME").sub("GMDT", ""))
        .add(RecordBuilder("INFO").sub("DATA", "a").sub("DATA", "b").sub("NAME", std::string("\0\0\xFF", 3)));
    return file.bytes();
}

std::string setI32(std::string bytes, std::size_t offset, std::int32_t value) {
    return bytes.replace(offset, 4, build::u32(static_cast<std::uint32_t>(value)));
}

std::size_t firstRecord(const std::string& bytes) {
    return 16 + loadU32(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 4);
}

TEST(RecordStreamFaults, EachMalformedFileStopsWithItsProblemAndOffset) {
    const std::string good = sampleSave();
    EXPECT_EQ(readAndWriteAll(good), good);
    const std::size_t npc = firstRecord(good);
    const std::size_t game = npc + 16 + loadU32(reinterpret_cast<const std::uint8_t*>(good.data()) + npc + 4);
    const struct {
        const char* name;
        std::string bytes;
        const char* problem;
        FaultyFile::Fault fault = FaultyFile::None;
    } cases[] = {
        {"empty file", "", "troppo corto"},
        {"negative count", setI32(good, 320, -1), "negativo"},
        {"count too high", setI32(good, 320, 4), "meno record"},
        {"truncated record header", setI32(good, 320, 4) + std::string("GAME\x01\x00", 6), "troncata"},
        {"negative record size", setI32(good, npc + 4, -5), "negativa"},
        {"payload past the end", setI32(good, npc + 4, 1 << 20), "fine del file"},
        {"subrecord crossing its record", setI32(good, npc + 20, 200), "fine del record"},
        {"negative subrecord size", setI32(good, npc + 20, -2), "negativa"},
        {"the last subrecord's data past its record", setI32(good, game + 20, 4), "fine del record"},
        {"a file that cannot seek back to its start", good, "impossibile leggere il file",
         FaultyFile::SeekBack},
        {"a read that stops short", good, "lettura non riuscita", FaultyFile::ShortRead},
    };
    for (const auto& damage : cases) {
        FormatError error;
        EXPECT_EQ(readAndWriteAll(damage.bytes, &error, damage.fault), "") << damage.name;
        EXPECT_NE(error.problem.find(damage.problem), std::string::npos)
            << damage.name << ": " << error.problem;
        EXPECT_NE(error.message().find("test.ess"), std::string::npos) << damage.name;
    }
    FormatError error;
    // The second subrecord, FNAM, after "NAME", its size and "fargoth" with its NUL.
    readAndWriteAll(setI32(good, npc + 36, 200), &error);
    EXPECT_TRUE(error.message().ends_with("Record NPC_ (n. 1), sottorecord FNAM, offset " +
                                          std::to_string(npc + 32) + "."))
        << error.message();
}

} // namespace
} // namespace orvella
