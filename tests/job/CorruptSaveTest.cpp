#include "JobHarness.h"
#include "gamebuilder/GameBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace orvella {
namespace {

using build::GameFileBuilder;
using build::readBytes;
using build::RecordBuilder;

GameFileBuilder richSave() {
    GameFileBuilder file(build::FileHeader{.kind = build::FileKind::Save, .masters = {{"Morrowind.esm", 99}}});
    file.add(RecordBuilder("NPC_").text("NAME", "fargoth").text("FNAM", "Fargoth"));
    file.add(RecordBuilder("DIAL").text("NAME", "Balmora").sub("DATA", std::string(1, '\0')));
    file.add(RecordBuilder("NPCC").text("NAME", "PlayerSaveGame").sub("NPCO", build::u32(1) + "gold_001"));
    file.add(RecordBuilder("JOUR").text("NAME", "<FONT COLOR=\"9F0000\">16 Last Seed (Day 1)</FONT><BR>\nText<P>\n"));
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

    void SetUp() override { harness.writeMinimalGame(game); }

    // Whatever the bytes, the job ends, and the save is either refused or passed through unchanged.
    void expectSaveUntouched(const std::string& bytes, const std::string& what) {
        build::writeBytes(game.save("c.ess"), bytes);
        PatchResult result = harness.run("c.ess", ItalianToEnglish);
        EXPECT_EQ(readBytes(game.save("c.ess")), bytes) << what;
        EXPECT_FALSE(game.exists("Saves/c.ess.tmp")) << what;
        if (result.exitCode != 0) {
            EXPECT_EQ(harness.messages.shown.size(), 1u) << what;
        }
        EXPECT_TRUE(harness.progress.enabledButton(1)) << what;
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

TEST_F(CorruptSaveTest, RandomByteFlips) {
    const std::string good = richSave().bytes();
    std::mt19937 random(20261206);
    std::vector<std::size_t> interesting = boundaries(good);
    for (int trial = 0; trial < 300; ++trial) {
        std::string bytes = good;
        int flips = 1 + trial % 4;
        for (int i = 0; i < flips; ++i) {
            // Aim half of the flips at record and subrecord headers, where they hurt most.
            std::size_t at = trial % 2 ? random() % bytes.size()
                                       : interesting[random() % interesting.size()] + random() % 24;
            if (at >= bytes.size() || (at >= 360 && at < 360 + 65536))
                at = random() % 320;
            bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8)));
        }
        expectSaveUntouched(bytes, "trial " + std::to_string(trial));
    }
}

} // namespace
} // namespace orvella
