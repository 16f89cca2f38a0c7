#include "gamebuilder/OpenMwSaveBuilder.h"
#include "RecordViews.h"
#include "records/SaveId.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using namespace build;
using test::bytesOf;

std::string dataOf(const Record& record, std::string_view tag) {
    const Subrecord* subrecord = record.findSubrecord(tag);
    return subrecord ? std::string(subrecord->data.begin(), subrecord->data.end()) : "<none>";
}

std::string tagsOf(const Record& record) {
    std::string tags;
    for (const auto& subrecord : record.subrecords())
        tags.append(tags.empty() ? "" : " ").append(subrecord.tag.str());
    return tags;
}

// One save of each format, with one record of each kind, reads back to its end through the record stream and
// writes back byte for byte; the header's layout, the ids and the cell ids follow the format.
TEST(OpenMwSaveBuilder, EachFormatReadsBackWithItsLayoutAndIds) {
    const std::string grid = u32(0xFFFFFFFE) + u32(6); // the cell (-2, 6)
    for (std::uint32_t version : {15, 21, 34}) {
        // From format 24 on, ids are typed and cells named by kind; the header's HEDR is shorter, and the
        // SAVE record has more fields.
        const bool typed = version >= 24;
        const auto id = [typed](const std::string& text) { return typed ? '\x02' + text : text; };
        const std::string npco =
            u32(3) + (typed ? "\x01" + u32(8) + "gold_001" : "gold_001" + std::string(24, '\0'));
        const std::string cellId = typed ? "NAME" + u32(9) + "\x06" + grid
                                         : "SPAC" + u32(12) + "sys::default" + "CIDX" + u32(8) + grid;
        OpenMwSaveBuilder save({.version = version, .contentFiles = {"Morrowind.esm", "LRK.esp"}});
        const OpenMwJournalEntry questEntry{.kind = JournalKind::Quest, .topic = "a1_spy", .text = "Caius"};
        save.quest({.id = "a1_spy", .stage = 10, .entries = {questEntry}})
            .journal(
                {.kind = JournalKind::Topic, .topic = "ald-ruhn", .text = "Citt\xC3\xA0", .actorName = "Ra"})
            .journal({.topic = "a1_spy", .info = "1234", .text = "Caius"})
            .dialogue({.topics = {"ald-ruhn"}, .factions = {{"Fighters Guild", {{"Thieves Guild", -3}}}}})
            .add(npcRecord({.inventory = {{3, "gold_001"}}}, version))
            .add(itemRecord({.id = "bk_a", .name = "Libro"}, version))
            .add(cellStateRecord({.exterior = true, .x = -2, .y = 6}, version))
            .add(globalRecord("Day", 's', 16, version))
            .add(std::move(RecordBuilder("INPU").sub("CFLG", u32(0))));
        const std::string bytes = save.bytes();
        SCOPED_TRACE(version);

        MemoryFile file(bytes);
        RecordStream stream(file, "test.omwsave");
        std::vector<std::unique_ptr<Record>> records;
        std::string tags, written;
        while (!stream.atEnd()) {
            ASSERT_TRUE(records.emplace_back(stream.readRecord())) << stream.error().message();
            tags.append(tags.empty() ? "" : " ").append(records.back()->tag().str());
            written += bytesOf(*records.back());
        }
        EXPECT_EQ(written, bytes);
        ASSERT_EQ(tags, "TES3 SAVE QUES JOUR JOUR JOUR DIAS NPC_ BOOK CSTA GLOB INPU");
        const Record &tes3 = *records[0], &saved = *records[1], &npc = *records[7];

        const std::string hedr = dataOf(tes3, "HEDR");
        EXPECT_EQ(hedr.size(), (typed ? 20u : 300u));
        EXPECT_EQ(tagsOf(tes3), "FORM HEDR MAST DATA MAST DATA");
        EXPECT_EQ(dataOf(tes3, "MAST") + dataOf(tes3, "DATA"), z("Morrowind.esm") + std::string(8, '\0'));
        EXPECT_EQ(tagsOf(saved), std::string("PLNA PLLE PLCL PLCE TSTM TIME DESC DEPE DEPE SCRN") +
                                     (typed ? " CDAY CHLT MHLT" : ""));

        EXPECT_EQ(dataOf(*records[2], "YETO"), id("a1_spy"));
        EXPECT_EQ(dataOf(*records[3], "JETY") + dataOf(*records[4], "JETY") + dataOf(*records[5], "JETY"),
                  u32(2) + u32(0) + u32(1));
        // A journal entry's topic stays a plain string when the quest's and the known topics' are typed.
        EXPECT_EQ(dataOf(*records[5], "YETO") + dataOf(*records[5], "TEXT") + dataOf(*records[5], "ACT_"),
                  "ald-ruhnCitt\xC3\xA0Ra");
        EXPECT_EQ(tagsOf(*records[6]), "TOPI FACT REA2 INTV");
        EXPECT_EQ(dataOf(*records[6], "TOPI"), id("ald-ruhn"));
        EXPECT_EQ(dataOf(npc, "NAME") + "|" + dataOf(npc, "FNAM"),
                  (typed ? id("player") : z("player")) + "|" + z("Nerevar"));
        EXPECT_EQ(dataOf(npc, "NPCO"), npco);
        EXPECT_EQ(bytesOf(*records[9]).substr(16, cellId.size()), cellId);
    }
}

// An id reads as its kind says from format 24 on, and a plain text before; one renamed keeps its kind, an
// empty one becoming a text and a sized one sized anew. A kind that is not known, or data that does not fit
// it, is no id.
TEST(SaveId, ReadsEachKindAndWritesARenamedIdInItsKind) {
    const auto read = [](const std::string& bytes, std::uint32_t format = 24) {
        return readSaveId({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, format, true);
    };
    const auto renamed = [&](const std::string& bytes, std::uint32_t format = 24) {
        const std::vector<std::uint8_t> written = saveIdBytes("ab", read(bytes, format).value().form);
        return std::string(written.begin(), written.end());
    };
    EXPECT_EQ(renamed(std::string(1, '\0')) + renamed("\x02xy"), std::string(1, '\x02') + "ab\x02" + "ab");
    EXPECT_EQ(renamed("\x01" + u32(4) + z("xyz")) + renamed("\x01" + u32(0)),
              "\x01" + u32(3) + z("ab") + "\x01" + u32(2) + "ab");
    EXPECT_EQ(renamed("\x02xy", 23), "ab");
    EXPECT_TRUE(read(std::string(1, '\0')).value().isText &&
                !read("\x03" + std::string(8, '\0')).value().isText);
    for (const std::string& wrong :
         {std::string(), "\x01" + u32(5) + "xyz", "\x01" + u32(3) + "xyzw", "\x03" + std::string(7, '\0'),
          std::string("\0x", 2), std::string("\x09")})
        EXPECT_FALSE(read(wrong)) << wrong.size();
}

} // namespace
} // namespace orvella
