#include "JobFixture.h"
#include "gamebuilder/GameBuilder.h"
#include "platform/MemoryFile.h"
#include "records/Bytes.h"
#include "records/RecordStream.h"
#include "records/RecordWriter.h"
#include "translate/AsciiFold.h"
#include "translate/SaveHandlers.h"

#include <gtest/gtest.h>
#include <set>

namespace orvella {
namespace {

using build::RecordBuilder;
using build::u32;
using build::z;

std::string npco(std::string_view id, std::uint32_t count = 1) {
    return u32(count) + z(id);
}
std::string widx(std::uint32_t position, std::uint32_t slot = 0) {
    return u32(position) + u32(slot);
}

RecordBuilder player() {
    return RecordBuilder("NPCC").text("NAME", "PlayerSaveGame").sub("NPDT", "npdt");
}

std::string bytesOf(const Record& record) {
    std::vector<std::uint8_t> out;
    serializeRecord(record, out);
    return std::string(out.begin(), out.end());
}

// "TAG=data" for every subrecord, the way the tests spell out an expected layout.
std::vector<std::string> layout(const Record& record) {
    std::vector<std::string> parts;
    for (const auto& subrecord : record.subrecords()) {
        std::string data(subrecord->data.begin(), subrecord->data.end());
        if (subrecord->tag.is("WIDX"))
            data = std::to_string(loadU32(subrecord->data.data())) + "/" +
                   std::to_string(loadU32(subrecord->data.data() + 4));
        else if (subrecord->tag.is("NPCO"))
            data = std::string(subrecord->textAt(4));
        parts.push_back(std::string(subrecord->tag.str()) + "=" + data);
    }
    return parts;
}

struct PlayerInventory : testing::Test {
    test::JobFixture fixture;
    std::unique_ptr<Record> record;

    JobState& state() { return *fixture.state; }

    void name(const std::string& id, std::string_view english, std::optional<std::string_view> italian = {}) {
        auto item = std::make_unique<TranslatedRecord>("MISC");
        std::string nameData = z(id);
        std::string fnam = z(english);
        item->appendSubrecord(std::make_unique<Subrecord>("NAME", nameData.data(),
                                                          static_cast<std::uint32_t>(nameData.size())));
        item->appendSubrecord(
            std::make_unique<Subrecord>("FNAM", fnam.data(), static_cast<std::uint32_t>(fnam.size())));
        if (italian) {
            std::string text = z(*italian);
            item->setTranslation("-TR-", text.data(), static_cast<std::uint32_t>(text.size()));
        }
        state().maps.itemNameMap.emplace(id, std::move(item));
    }

    std::vector<std::string> patch(const RecordBuilder& builder) {
        record = builder.build();
        const std::uint32_t size = record->size();
        EXPECT_TRUE(patchPlayerInventory(*record, state()));
        EXPECT_EQ(record->size(), size);
        return layout(*record);
    }

    void expectUnchanged(const RecordBuilder& builder, const std::string& what) {
        record = builder.build();
        EXPECT_TRUE(patchPlayerInventory(*record, state()));
        EXPECT_EQ(bytesOf(*record), builder.bytes()) << what;
    }
};

TEST_F(PlayerInventory, SortsByNameAndRenumbersTheEquipment) {
    name("item_b", "b");
    name("item_a", "A");
    name("item_c", "c");
    RecordBuilder third = player()
                              .sub("NPCO", npco("item_b"))
                              .sub("NPCO", npco("item_a"))
                              .sub("NPCO", npco("item_c"))
                              .sub("WIDX", widx(2));
    EXPECT_EQ(patch(third),
              (std::vector<std::string>{"NAME=PlayerSaveGame" + std::string(1, '\0'), "NPDT=npdt",
                                        "NPCO=item_a", "NPCO=item_b", "NPCO=item_c", "WIDX=2/0"}));
    RecordBuilder first = player()
                              .sub("NPCO", npco("item_b"))
                              .sub("NPCO", npco("item_a"))
                              .sub("NPCO", npco("item_c"))
                              .sub("WIDX", widx(0));
    EXPECT_EQ(patch(first).back(), "WIDX=1/0");
}

TEST_F(PlayerInventory, AttachedSubrecordsMoveWithTheirItemAndEquipmentFollowsTheNewOrder) {
    name("z", "Zweihander");
    name("a", "Axe");
    name("m", "Mace");
    RecordBuilder builder = player()
                                .sub("NPCO", npco("z", 1))
                                .sub("XIDX", "z1")
                                .sub("XHLT", "z2")
                                .sub("NPCO", npco("m", 2))
                                .sub("NPCO", npco("a", 3))
                                .sub("XIDX", "a1")
                                .sub("SCRI", "a2")
                                .sub("WIDX", widx(0, 1))
                                .sub("WIDX", widx(2, 0xFFFFFFFF));
    EXPECT_EQ(patch(builder),
              (std::vector<std::string>{"NAME=PlayerSaveGame" + std::string(1, '\0'), "NPDT=npdt", "NPCO=a",
                                        "XIDX=a1", "SCRI=a2", "NPCO=m", "NPCO=z", "XIDX=z1", "XHLT=z2",
                                        "WIDX=0/4294967295", "WIDX=2/1"}));
    // The item counts stay with their items.
    EXPECT_EQ(loadU32(record->subrecordAt(5).data.data()), 2u);
}

TEST_F(PlayerInventory, ComparesFoldingOnlyAsciiLettersWithPrefixesFirstAndKeepsTiesInOrder) {
    name("1", "iron sword");
    name("2", "IRON");
    name("3", "\xE8"
              "cu");
    name("4", "\xC8"
              "cu");
    name("5", "zed");
    name("6", "Iron Sword");
    name("7", "Iron");
    RecordBuilder builder = player();
    for (const char* id : {"1", "2", "3", "4", "5", "6", "7"})
        builder.sub("NPCO", npco(id));
    builder.sub("WIDX", widx(0));
    auto result = patch(builder);
    EXPECT_EQ(std::vector<std::string>(result.begin() + 2, result.end()),
              (std::vector<std::string>{"NPCO=2", "NPCO=7", "NPCO=1", "NPCO=6", "NPCO=5", "NPCO=4", "NPCO=3",
                                        "WIDX=2/0"}));
}

TEST_F(PlayerInventory, ConvertingToItalianSortsByTranslationAndToEnglishByTheOwnName) {
    name("apple", "Apple", "Mela");
    name("bread", "Bread", "Pane");
    name("cheese", "Cheese", "Formaggio");
    name("dagger", "Dagger"); // no translation: its own name
    RecordBuilder builder = player()
                                .sub("NPCO", npco("apple"))
                                .sub("NPCO", npco("bread"))
                                .sub("NPCO", npco("cheese"))
                                .sub("NPCO", npco("dagger"))
                                .sub("NPCO", npco("unknown_id"))
                                .sub("NPCO", npco("Unknown_A"))
                                .sub("WIDX", widx(3));
    auto toItalian = patch(builder);
    EXPECT_EQ(std::vector<std::string>(toItalian.begin() + 2, toItalian.end()),
              (std::vector<std::string>{"NPCO=dagger", "NPCO=cheese", "NPCO=apple", "NPCO=bread",
                                        "NPCO=Unknown_A", "NPCO=unknown_id", "WIDX=0/0"}));
    fixture.reset(ItalianToEnglish);
    name("apple", "Apple", "Mela");
    name("bread", "Bread", "Pane");
    name("cheese", "Cheese", "Formaggio");
    name("dagger", "Dagger");
    auto toEnglish = patch(builder);
    EXPECT_EQ(std::vector<std::string>(toEnglish.begin() + 2, toEnglish.end()),
              (std::vector<std::string>{"NPCO=apple", "NPCO=bread", "NPCO=cheese", "NPCO=dagger",
                                        "NPCO=Unknown_A", "NPCO=unknown_id", "WIDX=3/0"}));
}

TEST_F(PlayerInventory, LeavesEveryOtherLayoutByteForByte) {
    name("b", "B");
    name("a", "A");
    const auto twoItems = [] {
        return player().sub("NPCO", npco("b")).sub("XHLT", "h").sub("NPCO", npco("a"));
    };
    expectUnchanged(RecordBuilder("NPCC")
                        .text("NAME", "fargoth")
                        .sub("NPCO", npco("b"))
                        .sub("NPCO", npco("a"))
                        .sub("WIDX", widx(0)),
                    "not the player");
    expectUnchanged(RecordBuilder("NPCC")
                        .sub("NAME", "PlayerSaveGame")
                        .sub("NPCO", npco("b"))
                        .sub("NPCO", npco("a"))
                        .sub("WIDX", widx(0)),
                    "a name without its NUL");
    expectUnchanged(RecordBuilder("NPCC").sub("NPCO", npco("b")).sub("NPCO", npco("a")).sub("WIDX", widx(0)),
                    "no name");
    expectUnchanged(player().sub("NPCO", npco("b")).sub("WIDX", widx(0)), "one item");
    expectUnchanged(twoItems(), "no equipment");
    expectUnchanged(twoItems().sub("WIDX", widx(2)), "a position past the entries");
    expectUnchanged(twoItems().sub("WIDX", widx(0xFFFFFFFF)), "a negative position");
    expectUnchanged(twoItems().sub("WIDX", widx(1)).sub("WIDX", widx(1, 1)), "two references to one entry");
    expectUnchanged(player().sub("NPCO", npco("b")).sub("WIDX", widx(0)).sub("NPCO", npco("a")),
                    "an item after the equipment");
    expectUnchanged(
        player().sub("NPCO", npco("b")).sub("WIDX", widx(0)).sub("NPCO", npco("a")).sub("WIDX", widx(1)),
        "equipment between the items");
    expectUnchanged(twoItems().sub("WIDX", widx(0)).sub("XHLT", "after"), "a subrecord after the equipment");
    expectUnchanged(twoItems().sub("WIDX", u32(0)), "a short reference");
    expectUnchanged(twoItems().sub("WIDX", widx(0) + "x"), "a long reference");
}

// What a player record holds, independent of the order of its items.
struct InventoryContents {
    std::vector<std::string> head;      // the subrecords before the first item
    std::multiset<std::string> entries; // each item with its attached subrecords
    std::multiset<std::pair<std::string, std::uint32_t>>
        equipped;                 // item ID and second word of each reference
    std::vector<std::string> ids; // item IDs in record order
};

InventoryContents contentsOf(const Record& record) {
    InventoryContents contents;
    std::vector<std::string> blocks;
    for (const auto& subrecord : record.subrecords()) {
        std::string bytes =
            std::string(subrecord->tag.str()) + std::string(subrecord->data.begin(), subrecord->data.end());
        if (subrecord->tag.is("NPCO")) {
            blocks.push_back(bytes);
            contents.ids.emplace_back(subrecord->textAt(4));
        } else if (subrecord->tag.is("WIDX")) {
            std::uint32_t position = loadU32(subrecord->data.data());
            EXPECT_LT(position, contents.ids.size());
            if (position < contents.ids.size())
                contents.equipped.emplace(contents.ids[position], loadU32(subrecord->data.data() + 4));
        } else if (blocks.empty()) {
            contents.head.push_back(bytes);
        } else {
            blocks.back() += bytes;
        }
    }
    contents.entries.insert(blocks.begin(), blocks.end());
    return contents;
}

std::unique_ptr<Record> playerRecordOf(const std::string& saveName) {
    MemoryFile file(build::readBytes(std::string(ORVELLA_REAL_SAVES) + "/" + saveName));
    RecordStream stream(file, saveName);
    std::int32_t count = 0;
    if (!stream.readRecordCount(count))
        return nullptr;
    for (std::int32_t i = 0; i <= count; ++i) {
        auto record = stream.readRecord();
        if (!record)
            return nullptr;
        if (record->tag().is("NPCC") && record->findText("NAME") == "PlayerSaveGame")
            return record;
    }
    return nullptr;
}

TEST(RealSaveInventory, KeepsEveryItemWithItsSubrecordsAndTheSameEquipment) {
    for (const char* saveName : {"HartKack0000.ess", "Test10000.ess"}) {
        for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish}) {
            std::unique_ptr<Record> record = playerRecordOf(saveName);
            ASSERT_TRUE(record) << saveName;
            const InventoryContents before = contentsOf(*record);
            const std::string original = bytesOf(*record);
            test::JobFixture fixture(direction);
            EXPECT_TRUE(patchPlayerInventory(*record, *fixture.state));
            const InventoryContents after = contentsOf(*record);

            EXPECT_NE(bytesOf(*record), original) << saveName;
            EXPECT_EQ(bytesOf(*record).size(), original.size()) << saveName;
            EXPECT_EQ(after.head, before.head) << saveName;
            EXPECT_EQ(after.entries, before.entries) << saveName;
            EXPECT_EQ(after.equipped, before.equipped) << saveName;
            EXPECT_FALSE(before.equipped.empty()) << saveName;
            // With no names known the items sort by their IDs.
            EXPECT_TRUE(std::is_sorted(
                after.ids.begin(), after.ids.end(),
                [](const std::string& a, const std::string& b) { return compareFolded(a, b) < 0; }))
                << saveName;

            const std::string sorted = bytesOf(*record);
            patchPlayerInventory(*record, *fixture.state);
            EXPECT_EQ(bytesOf(*record), sorted) << saveName;
        }
    }
}

} // namespace
} // namespace orvella
