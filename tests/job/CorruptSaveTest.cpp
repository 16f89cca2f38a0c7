#include "JobHarness.h"
#include "gamebuilder/GameBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::GameFileBuilder;
using build::readBytes;
using build::RecordBuilder;

GameFileBuilder richSave() {
    GameFileBuilder file(
        build::FileHeader{.kind = build::FileKind::Save, .masters = {{"Morrowind.esm", 99}}});
    file.add(RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth"));
    file.add(RecordBuilder("DIAL").text("NAME", "Balmora").sub("DATA", std::string(1, '\0')));
    file.add(RecordBuilder("NPCC").text("NAME", "PlayerSaveGame").sub("NPCO", build::u32(1) + "gold_001"));
    file.add(RecordBuilder("JOUR").text("NAME",
                                        "<FONT COLOR=\"9F0000\">16 Last Seed (Day 1)</FONT><BR>\nText<P>\n"));
    return file;
}

// Record boundaries of a well-formed file, found by walking its headers.
std::vector<std::size_t> boundaries(const std::string& bytes) {
    std::vector<std::size_t> offsets;
    std::size_t at = 0;
    while (at + 16 <= bytes.size()) {
        offsets.push_back(at);
        std::uint32_t size = static_cast<unsigned char>(bytes[at + 4]) |
                             static_cast<unsigned char>(bytes[at + 5]) << 8 |
                             static_cast<unsigned char>(bytes[at + 6]) << 16;
        at += 16 + size;
    }
    return offsets;
}

class CorruptSaveTest : public testing::Test {
protected:
    test::GameFolder game;
    test::JobHarness harness{game};

    void SetUp() override { harness.writeDemoGame(game); }

    // Whatever the bytes, the job ends, and the save is either refused or passed through unchanged.
    void expectSaveUntouched(const std::string& bytes, const std::string& what) {
        build::writeBytes(game.save("c.ess"), bytes);
        PatchResult result = harness.run("c.ess", ItalianToEnglish);
        EXPECT_EQ(readBytes(game.save("c.ess")), bytes) << what;
        EXPECT_FALSE(game.exists("Saves/c.ess.tmp")) << what;
        if (result.exitCode != 0) {
            EXPECT_EQ(harness.messages.shown.size(), 1u) << what;
        }
        EXPECT_TRUE(harness.progress.result) << what;
    }
};

TEST_F(CorruptSaveTest, TruncationAtAndInsideEveryRecord) {
    const std::string good = richSave().bytes();
    for (std::size_t boundary : boundaries(good)) {
        for (std::size_t cut : {boundary, boundary + 3, boundary + 15, boundary + 17, boundary + 29}) {
            if (cut >= good.size())
                continue;
            std::string bytes = good.substr(0, cut);
            expectSaveUntouched(bytes, "cut at " + std::to_string(cut));
            EXPECT_EQ(harness.messages.shown.size(), 1u) << cut;
        }
    }
}

TEST_F(CorruptSaveTest, AbsurdRecordCounts) {
    const std::string good = richSave().bytes();
    for (std::uint32_t count : {0u, 1u, 3u, 5u, 6u, 1000u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        std::string bytes = good;
        bytes.replace(320, 4, build::u32(count));
        expectSaveUntouched(bytes, "count " + std::to_string(count));
        EXPECT_EQ(harness.messages.shown.size(), 1u) << count;
    }
}

TEST_F(CorruptSaveTest, TrailingBytesAreRefused) {
    expectSaveUntouched(richSave().bytes() + "GARBAGE", "trailing bytes");
    EXPECT_EQ(harness.messages.shown.size(), 1u);
}

std::string setI32(std::string bytes, std::size_t offset, std::int32_t value) {
    bytes.replace(offset, 4, build::u32(static_cast<std::uint32_t>(value)));
    return bytes;
}

// A save whose header record has a HEDR of the given size and one more subrecord, with a record count of 1
// at offset 320, where every save holds it, so that only the header itself can be wrong. A count that
// straddles the HEDR's end and the next subrecord's tag reads as a large positive number.
std::string saveWithHedrOf(std::size_t hedrSize) {
    const std::size_t countInHedr = 320 - 24;
    std::string hedr(hedrSize, '\0');
    std::string padding(400, '\0');
    if (hedrSize >= countInHedr + 4)
        hedr.replace(countInHedr, 4, build::u32(1));
    else if (hedrSize + 8 <= countInHedr)
        padding.replace(countInHedr - hedrSize - 8, 4, build::u32(1));
    const std::string npc = RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth").bytes();
    return RecordBuilder("TES3").sub("HEDR", hedr).sub("XPAD", padding).bytes() + npc;
}

TEST_F(CorruptSaveTest, EachMalformedHeaderAndRecordIsRefusedNamingItsFault) {
    const std::string good = richSave().bytes();
    const std::size_t npc = boundaries(good)[1];
    struct Case {
        const char* name;
        std::string bytes;
        const char* problem;
    };
    std::string notTes3 = good;
    notTes3.replace(0, 4, "TES4");
    const Case cases[] = {
        {"a first record that is not TES3", notTes3, "TES3"},
        {"a text file", std::string(400, 'x'), "non \xE8 valido"},
        {"an HEDR one byte shorter than 300", saveWithHedrOf(299), "300 byte"},
        {"an HEDR of 200 bytes", saveWithHedrOf(200), "300 byte"},
        {"a negative record size", setI32(good, npc + 4, -5), "dimensione del record negativa"},
        {"a subrecord crossing its record's end", setI32(good, npc + 16 + 4, 200),
         "supera la fine del record"},
        {"a negative subrecord size", setI32(good, npc + 16 + 4, -2), "dimensione del sottorecord negativa"},
    };
    // The well-formed counterpart of the HEDR cases is accepted, so the refusals are the HEDR's doing.
    build::writeBytes(game.save("c.ess"), saveWithHedrOf(300));
    EXPECT_EQ(harness.run("c.ess", ItalianToEnglish).exitCode, 0u);
    for (const Case& fault : cases) {
        expectSaveUntouched(fault.bytes, fault.name);
        ASSERT_EQ(harness.messages.shown.size(), 1u) << fault.name;
        EXPECT_NE(harness.messages.shown[0].text.find(fault.problem), std::string::npos)
            << fault.name << ": " << harness.messages.shown[0].text;
        EXPECT_NE(harness.messages.shown[0].text.find("c.ess"), std::string::npos) << fault.name;
    }
}

// A save with nothing to convert to English, plus the given records: its conversion changes no byte.
std::string unchangedSaveWith(const std::vector<RecordBuilder>& records) {
    GameFileBuilder file(
        build::FileHeader{.kind = build::FileKind::Save, .masters = {{"Morrowind.esm", 99}}});
    file.add(RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth"));
    for (const RecordBuilder& record : records)
        file.add(record);
    return file.bytes();
}

TEST_F(CorruptSaveTest, AJournalWithoutItsTextIsWrittenAsItWas) {
    for (const RecordBuilder& journal :
         {RecordBuilder("JOUR"), RecordBuilder("JOUR").sub("TEXT", "16 Last Seed<P>\n"),
          RecordBuilder("JOUR").sub("NAMX", "x").sub("DATA", build::u32(3))}) {
        const std::string bytes = unchangedSaveWith({journal});
        build::writeBytes(game.save("j.ess"), bytes);
        PatchResult result = harness.run("j.ess", ItalianToEnglish);
        EXPECT_EQ(result.exitCode, 0u);
        EXPECT_EQ(result.outcomeText, "Patch effettuata con successo");
        EXPECT_EQ(readBytes(game.save("j.ess")), bytes);
        EXPECT_EQ(harness.progress.bar(JobStage::Journal), 100);
    }
}

TEST_F(CorruptSaveTest, APlayerInventoryWithAnyLayoutFaultIsWrittenAsItWas) {
    auto widx = [](std::uint32_t position, std::uint32_t slot = 0) {
        return build::u32(position) + build::u32(slot);
    };
    auto npco = [](const char* id) { return build::u32(1) + build::z(id); };
    // Out of order, so that a re-sort would show.
    auto player = [&] {
        return RecordBuilder("NPCC")
            .text("NAME", "PlayerSaveGame")
            .sub("NPDT", std::string(8, '\1'))
            .sub("NPCO", npco("zz_last"))
            .sub("XHLT", build::u32(4))
            .sub("NPCO", npco("aa_first"));
    };
    const std::pair<const char*, RecordBuilder> faults[] = {
        {"a reference past the entries", player().sub("WIDX", widx(2))},
        {"a negative reference", player().sub("WIDX", widx(0xFFFFFFFF))},
        {"two references to one entry", player().sub("WIDX", widx(1)).sub("WIDX", widx(1, 4))},
        {"an item after the equipment", player().sub("WIDX", widx(0)).sub("NPCO", npco("mm_middle"))},
        {"equipment between the items", RecordBuilder("NPCC")
                                            .text("NAME", "PlayerSaveGame")
                                            .sub("NPCO", npco("zz_last"))
                                            .sub("WIDX", widx(0))
                                            .sub("NPCO", npco("aa_first"))
                                            .sub("WIDX", widx(1))},
        {"a subrecord after the equipment", player().sub("WIDX", widx(0)).sub("XHLT", build::u32(1))},
        {"a short reference", player().sub("WIDX", build::u32(0))},
        {"a long reference", player().sub("WIDX", widx(0) + "x")},
        {"a reference to an entry not yet read", RecordBuilder("NPCC")
                                                     .text("NAME", "PlayerSaveGame")
                                                     .sub("NPCO", npco("zz_last"))
                                                     .sub("WIDX", widx(1))
                                                     .sub("NPCO", npco("aa_first"))},
    };
    // The same inventory well laid out is re-sorted, so the faults are what keeps the others as they are.
    build::writeBytes(game.save("p.ess"), unchangedSaveWith({player().sub("WIDX", widx(0))}));
    EXPECT_EQ(harness.run("p.ess", ItalianToEnglish).exitCode, 0u);
    EXPECT_NE(readBytes(game.save("p.ess")), unchangedSaveWith({player().sub("WIDX", widx(0))}));
    for (const auto& [name, record] : faults) {
        const std::string bytes = unchangedSaveWith({record});
        build::writeBytes(game.save("p.ess"), bytes);
        EXPECT_EQ(harness.run("p.ess", ItalianToEnglish).exitCode, 0u) << name;
        EXPECT_EQ(readBytes(game.save("p.ess")), bytes) << name;
    }
}

// The same faults in a real save: the reader refuses them wherever they lie, however big the save.
TEST_F(CorruptSaveTest, ARealSaveCutLengthenedOrMiscountedIsLeftAlone) {
    const std::string real = readBytes(std::string(ORVELLA_REAL_SAVES) + "/HartKack0000.ess");
    ASSERT_FALSE(real.empty());
    const std::int32_t count = static_cast<std::int32_t>(static_cast<unsigned char>(real[320]) |
                                                         static_cast<unsigned char>(real[321]) << 8 |
                                                         static_cast<unsigned char>(real[322]) << 16);
    const std::pair<const char*, std::string> faults[] = {
        {"cut in its last record", real.substr(0, real.size() - 7)},
        {"cut in the middle", real.substr(0, real.size() / 2)},
        {"trailing bytes", real + std::string(3, '\0')},
        {"a count one too high", setI32(real, 320, count + 1)},
        {"a count one too low", setI32(real, 320, count - 1)},
        {"a negative count", setI32(real, 320, -count)},
    };
    for (const auto& [name, bytes] : faults) {
        expectSaveUntouched(bytes, name);
        EXPECT_EQ(harness.messages.shown.size(), 1u) << name;
    }
}

} // namespace
} // namespace orvella
