#include "JobHarness.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;

// A save with nothing to convert to English: its conversion would change no byte.
const std::string Rich =
    build::GameFileBuilder(
        build::FileHeader{.kind = build::FileKind::Save, .masters = {{"Morrowind.esm", 99}}})
        .add(RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth"))
        .add(RecordBuilder("DIAL").text("NAME", "Balmora").sub("DATA", std::string(1, '\0')))
        .add(RecordBuilder("NPCC").text("NAME", "PlayerSaveGame").sub("NPCO", build::u32(1) + "gold_001"))
        .add(RecordBuilder("JOUR").text("NAME",
                                        "<FONT COLOR=\"9F0000\">16 Last Seed (Day 1)</FONT><BR>\nText<P>\n"))
        .bytes();

std::size_t sizeAt(const std::string& bytes, std::size_t offset) {
    return static_cast<unsigned char>(bytes[offset]) | static_cast<unsigned char>(bytes[offset + 1]) << 8 |
           static_cast<unsigned char>(bytes[offset + 2]) << 16;
}

std::string setI32(std::string bytes, std::size_t offset, std::int64_t value) {
    return bytes.replace(offset, 4, build::u32(static_cast<std::uint32_t>(value)));
}

// A save whose header record has a HEDR of the given size, and one more subrecord when padded, with a record
// count of 1 at offset 320, where every save holds it, so that only the header itself can be wrong.
std::string saveWithHedrOf(std::size_t hedrSize, bool padded = true) {
    const std::size_t countInHedr = 320 - 24;
    std::string hedr(hedrSize, '\0');
    std::string padding(400, '\0');
    if (hedrSize >= countInHedr + 4)
        hedr.replace(countInHedr, 4, build::u32(1));
    else if (hedrSize + 8 <= countInHedr)
        padding.replace(countInHedr - hedrSize - 8, 4, build::u32(1));
    RecordBuilder header("TES3");
    header.sub("HEDR", hedr);
    if (padded)
        header.sub("XPAD", padding);
    return header.bytes() + RecordBuilder("NPC_").text("NAME", "fargoth").bytes();
}

struct CorruptSaveTest : testing::Test, test::JobHarness {
    // Converts the bytes and gives the save's bytes afterwards; nothing temporary may stay.
    std::string convert(const std::string& bytes, std::uint32_t expectedExit) {
        const std::string after = JobHarness::convert("c.ess", bytes, ItalianToEnglish);
        EXPECT_EQ(result.exitCode, expectedExit);
        EXPECT_FALSE(files.isFile(save("c.ess.tmp")));
        EXPECT_TRUE(progress.result);
        return after;
    }
};

// Each damaged save is refused with one message that names it and, when given, its fault; the reader refuses
// the faults of a real save too, wherever they lie.
TEST_F(CorruptSaveTest, EachCutMiscountedLengthenedOrMalformedSaveIsRefusedNamingItsFault) {
    std::vector<std::pair<std::string, const char*>> cases;
    std::size_t records = 0;
    for (std::size_t at = 0; at + 16 <= Rich.size(); at += 16 + sizeAt(Rich, at + 4), ++records)
        for (std::size_t cut : {at, at + 3, at + 15, at + 17, at + 29})
            if (cut < Rich.size())
                cases.emplace_back(Rich.substr(0, cut), "");
    ASSERT_EQ(records, 5u);
    cases.emplace_back(Rich.substr(0, Rich.size() - 3), "offset");
    for (std::uint32_t count : {0u, 1u, 3u, 5u, 1000u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu})
        cases.emplace_back(setI32(Rich, 320, count), "");
    cases.emplace_back(Rich + "GARBAGE", "");

    const std::size_t npc = 16 + sizeAt(Rich, 4);
    std::string notTes3 = Rich, noHedr = Rich;
    notTes3.replace(0, 4, "TES4");
    noHedr.replace(16, 4, "HEAD");
    cases.insert(
        cases.end(),
        {{notTes3, "TES3"},
         {noHedr, "HEDR.\nRecord TES3 (n. 0), offset 0."},
         {std::string(400, 'x'), "non \xE8 valido"},
         {saveWithHedrOf(299), "300 byte.\nRecord TES3 (n. 0), sottorecord HEDR, offset 16."},
         {saveWithHedrOf(200), "300 byte"},
         {RecordBuilder("TES3").bytes() + RecordBuilder("NPC_").sub("FNAM", std::string(400, 'x')).bytes(),
          "HEDR"},
         {setI32(Rich, npc + 4, -5), "dimensione del record negativa"},
         {setI32(Rich, npc + 16 + 4, 200), "supera la fine del record"},
         {setI32(Rich, npc + 16 + 4, -2), "dimensione del sottorecord negativa"}});

    const std::string real = build::readBytes(std::string(ORVELLA_REAL_SAVES) + "/HartKack0000.ess");
    ASSERT_FALSE(real.empty());
    const std::int64_t count = static_cast<std::int64_t>(sizeAt(real, 320));
    for (const std::string& bytes :
         {real.substr(0, real.size() - 7), real.substr(0, real.size() / 2), real + std::string(3, '\0'),
          setI32(real, 320, count + 1), setI32(real, 320, count - 1), setI32(real, 320, -count)})
        cases.emplace_back(bytes, "");

    // The well-formed counterparts of the HEDR cases and the save itself are accepted, so the refusals are
    // the faults' doing.
    for (const std::string& good : {saveWithHedrOf(300), saveWithHedrOf(300, false), Rich})
        EXPECT_EQ(convert(good, 0), good);
    files.deleteFile(test::backupPath(installation, "c.ess"));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& [bytes, problem] = cases[i];
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(convert(bytes, 1), bytes);
        ASSERT_EQ(messages.shown.size(), 1u);
        const std::string& text = messages.shown[0].text;
        EXPECT_TRUE(text.find("c.ess") != std::string::npos && text.find(problem) != std::string::npos)
            << text;
        EXPECT_FALSE(files.isFile(test::backupPath(installation, "c.ess")));
    }
}

} // namespace
} // namespace orvella
