#include "RecordViews.h"
#include "records/Bytes.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;
using namespace test;

// Any single edit that miscounts shows in the size, whatever follows it; edits of a missing tag or index
// change nothing.
TEST(RecordEdit, EveryEditKeepsTheSizeEqualToTheSubrecordsAndEqualTagsAreFoundInReadOrder) {
    auto record =
        RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth").sub("NPDT", "1234").build();
    EXPECT_TRUE(record->replaceSubrecord("FNAM", "A longer name\0", 14));
    EXPECT_TRUE(record->replaceSubrecordAt(0, "x", 1));
    record->insertSubrecordBefore("NPDT", "ANAM", "faction", 7);
    record->insertSubrecordBefore(std::nullopt, "SCRI", "script", 6);
    record->insertSubrecordAt(1, Subrecord("XSCL", "1234", 4u));
    EXPECT_EQ(record->size(), payloadSize(*record));
    record->removeSubrecordAt(0);
    SubrecordList taken = record->removeSubrecordRange(1, 3);
    EXPECT_EQ(record->size(), payloadSize(*record));
    for (auto& subrecord : taken)
        record->insertSubrecordAt(0, std::move(subrecord));
    EXPECT_EQ(layout(*record), "ANAM=faction|FNAM=A longer name|XSCL=1234|NPDT=1234|SCRI=script");
    EXPECT_EQ(record->size(), payloadSize(*record));
    const std::string before = bytesOf(*record);
    EXPECT_FALSE(record->replaceSubrecord("GMDT", "x", 1) || record->replaceSubrecordAt(9, "x", 1));
    record->insertSubrecordBefore("GMDT", "MAST", "x\0", 2);
    EXPECT_EQ(bytesOf(*record), before);

    // A size that never matched its subrecords moves by the difference, not recomputed.
    Record inconsistent(Tag("TEST"), 1000, 7, 9);
    inconsistent.appendSubrecord(Subrecord("DATA", "abcd", 4u));
    inconsistent.replaceSubrecord("DATA", "ab", 2);
    EXPECT_EQ(bytesOf(inconsistent).substr(4, 12), build::u32(1010) + build::u32(7) + build::u32(9));
    EXPECT_EQ(bytesOf(Record("GAME")), std::string("GAME") + std::string(12, '\0'));

    // Find, replace and insert-before take the first of equal tags; inserted subrecords are found after the
    // ones read with the record, until a removal rebuilds the order. A text ends at its first NUL or the end.
    record =
        RecordBuilder("INFO").sub("NAME", "n").sub("DATA", "old").sub("DATA", std::string("2\0x", 3)).build();
    record->insertSubrecordBefore("DATA", "MAST", "m", 1);
    EXPECT_TRUE(record->replaceSubrecord("DATA", "one", 3));
    record->insertSubrecordBefore("NAME", "DATA", "newer", 5);
    record->insertSubrecordAt(0, Subrecord("DATA", "new", 3u));
    EXPECT_EQ(layout(*record), "DATA=new|DATA=newer|NAME=n|MAST=m|DATA=one|DATA=2");
    const Subrecord* found = record->findSubrecord("DATA");
    EXPECT_EQ(std::string(found->text()) + "|" + std::string(found->textAt(1)) + "|" +
                  std::string(found->textAt(9)),
              "one|ne|");
    record->removeSubrecordAt(record->subrecordCount() - 1);
    EXPECT_EQ(record->findSubrecord("DATA")->text(), "new");
    record->insertSubrecordAt(0, Subrecord("DATA", "front", 5u));
    EXPECT_EQ(record->findSubrecord("DATA")->text(), "new");
    record->removeSubrecordRange(1, 2);
    EXPECT_EQ(record->findSubrecord("DATA")->text(), "front");
    while (record->subrecordCount())
        record->removeSubrecordAt(0);
    EXPECT_EQ(record->findSubrecord("DATA"), nullptr);
    EXPECT_EQ(record->size(), 0u);
}

// A record read from a file lends its subrecords the bytes it holds for all of them: a copy, or a subrecord
// taken out, has bytes of its own, which outlive the record. Data may be replaced by a part of itself,
// whether lent or its own.
TEST(SubrecordBytes, ReadBytesAreLentAndCopiedBeforeAnyChange) {
    const std::string alphabet = "abcdefghijklmnopqrstuvwxyz";
    const std::string longText = alphabet + alphabet + alphabet + alphabet + alphabet.substr(0, 16);
    const std::string file =
        build::GameFileBuilder()
            .add(RecordBuilder("BOOK").text("NAME", "book").sub("TEXT", longText).sub("DATA", "abcd"))
            .bytes();
    auto records = readRecords(file);
    ASSERT_EQ(records.size(), 2u);
    Record& book = *records[1];
    SubrecordBytes copy = book.findSubrecord("TEXT")->data;
    copy[0] = '!';
    EXPECT_EQ(std::string(book.findSubrecord("TEXT")->text()), longText);
    book.findSubrecord("DATA")->data[1] = 'B';
    EXPECT_EQ(layout(book), "NAME=book|TEXT=" + longText + "|DATA=aBcd");

    SubrecordBytes& name = book.findSubrecord("NAME")->data;
    name.assign(name.begin() + 2, name.end());
    EXPECT_EQ(std::string(book.findSubrecord("NAME")->text()), "ok");
    SubrecordList taken = book.removeSubrecordRange(1, 3);
    records.clear();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(std::string(taken[0].data.begin(), taken[0].data.end()), longText);
    EXPECT_EQ(std::string(taken[1].data.begin(), taken[1].data.end()), "aBcd");

    SubrecordBytes& text = taken[0].data;
    for (std::size_t size : {longText.size(), std::size_t{3}, std::size_t{0}, longText.size()}) {
        text.assign(reinterpret_cast<const std::uint8_t*>(longText.data()),
                    reinterpret_cast<const std::uint8_t*>(longText.data()) + size);
        EXPECT_EQ(std::string(text.begin(), text.end()), longText.substr(0, size));
    }
    text.assign(text.begin() + 5, text.end());
    EXPECT_EQ(std::string(text.begin(), text.end()), longText.substr(5));
    text.assign(text.begin() + 1, text.begin() + 2);
    EXPECT_EQ(std::string(text.begin(), text.end()), longText.substr(6, 1));
    copy = text;
    EXPECT_TRUE(copy == text);
}

// A file in memory that may refuse to seek to a position from its start, at all or after the first time, read
// half of what is asked, or read nothing after its first read.
struct FaultyFile final : File {
    enum Fault { None, SeekBack, SeekOnce, ShortRead, OneRead };
    FaultyFile(const std::string& bytes, Fault fault) : file(bytes), fault(fault) {}
    std::size_t read(void* buffer, std::size_t size) override {
        if (fault == OneRead && reads++ > 0)
            return 0;
        return file.read(buffer, fault == ShortRead ? size / 2 : size);
    }
    std::size_t write(const void*, std::size_t) override { return 0; }
    bool seek(std::int64_t offset, SeekOrigin origin) override {
        const bool refused =
            origin == SeekOrigin::Begin && (fault == SeekBack || (fault == SeekOnce && seeks++ > 0));
        return !refused && file.seek(offset, origin);
    }
    std::int64_t tell() override { return file.tell(); }
    bool flush() override { return true; }
    bool close() override { return true; }

    MemoryFile file;
    Fault fault;
    int reads = 0, seeks = 0;
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
        if ((ok = record != nullptr))
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

TEST(RecordStreamFaults, EachMalformedFileStopsWithItsProblemAndOffset) {
    const std::string good = sampleSave();
    EXPECT_EQ(readAndWriteAll(good), good);
    const std::size_t npc = 16 + loadU32(reinterpret_cast<const std::uint8_t*>(good.data()) + 4);
    const std::size_t game = npc + 16 + loadU32(reinterpret_cast<const std::uint8_t*>(good.data()) + npc + 4);
    const struct {
        std::string bytes;
        const char* problem;
        FaultyFile::Fault fault = FaultyFile::None;
    } cases[] = {
        {"", "troppo corto"},                                                // an empty file
        {setI32(good, 320, -1), "negativo"},                                 // a negative count
        {setI32(good, 320, 4), "meno record"},                               // a count too high
        {setI32(good, 320, 4) + std::string("GAME\x01\x00", 6), "troncata"}, // a cut record header
        {setI32(good, npc + 4, -5), "negativa"},                             // a negative record size
        {setI32(good, npc + 4, 1 << 20), "fine del file"},                   // data past the end
        {setI32(good, npc + 20, 200), "fine del record"},                    // a subrecord past its record
        {setI32(good, npc + 20, -2), "negativa"},                            // a negative subrecord size
        {setI32(good, game + 20, 4), "fine del record"},                     // the last one's data too
        {good, "impossibile leggere il file", FaultyFile::SeekBack},         // no seek back to the start
        {good, "lettura non riuscita", FaultyFile::ShortRead},               // a read that stops short
        {good, "lettura non riuscita", FaultyFile::OneRead},                 // no first record header
    };
    for (const auto& damage : cases) {
        FormatError error;
        EXPECT_EQ(readAndWriteAll(damage.bytes, &error, damage.fault), "") << damage.problem;
        EXPECT_NE(error.problem.find(damage.problem), std::string::npos)
            << damage.problem << ": " << error.problem;
        EXPECT_NE(error.message().find("test.ess"), std::string::npos) << damage.problem;
    }
    // A record skipped past the bytes read with it is passed over by a seek, whose failure stops the reading.
    FaultyFile file(build::GameFileBuilder()
                        .add(RecordBuilder("STAT").sub("DATA", std::string(70000, 'x')))
                        .add(RecordBuilder("GAME"))
                        .bytes(),
                    FaultyFile::SeekOnce);
    RecordStream stream(file, "test.ess");
    EXPECT_TRUE(stream.readRecord() && stream.skipRecord() && !stream.readRecord());
    EXPECT_EQ(stream.error().problem, "impossibile spostarsi nel file");
    // A stream that could not be set up reads nothing and keeps its first problem.
    FaultyFile unread(good, FaultyFile::SeekBack);
    RecordStream invalid(unread, "test.ess");
    std::int32_t count = 0;
    EXPECT_TRUE(!invalid.readRecordCount(count) && !invalid.readRecord() &&
                invalid.error().problem.find("impossibile leggere") != std::string::npos);
    FormatError error;
    // The second subrecord, FNAM, after "NAME", its size and "fargoth" with its NUL.
    readAndWriteAll(setI32(good, npc + 36, 200), &error);
    EXPECT_TRUE(error.message().ends_with("Record NPC_ (n. 1), sottorecord FNAM, offset " +
                                          std::to_string(npc + 32) + "."))
        << error.message();
}

} // namespace
} // namespace orvella
