#include "ConversionFixture.h"
#include "RecordViews.h"
#include "records/Bytes.h"
#include "translate/AsciiFold.h"
#include "translate/SaveHandlers.h"

#include <gtest/gtest.h>
#include <set>

namespace orvella {
namespace {

using build::RecordBuilder;
using build::u32;

// A record with these parts after its NAME (none when nameData is empty) and NPDT: "id" or "id*count" is an
// item, "Wposition/slot" an equipment reference and "TAG=data" any other subrecord.
RecordBuilder npcc(std::initializer_list<std::string> parts,
                   const std::string& nameData = build::z("PlayerSaveGame")) {
    RecordBuilder record("NPCC");
    if (!nameData.empty())
        record.sub("NAME", nameData);
    record.sub("NPDT", "npdt");
    for (const std::string& part : parts) {
        const std::size_t equals = part.find('='), star = part.find('*'), slash = part.find('/');
        if (equals != std::string::npos)
            record.sub(part.substr(0, equals), part.substr(equals + 1));
        else if (part[0] == 'W')
            record.sub("WIDX", u32(std::stoul(part.substr(1))) + u32(std::stoul(part.substr(slash + 1))));
        else
            record.sub("NPCO", u32(star == std::string::npos ? 1 : std::stoul(part.substr(star + 1))) +
                                   build::z(part.substr(0, star)));
    }
    return record;
}

// The parts of a record after its NPDT, spelled as npcc() takes them.
std::string parts(const Record& record) {
    std::string out;
    for (std::size_t i = 2; i < record.subrecordCount(); ++i) {
        const Subrecord& sub = record.subrecordAt(i);
        const std::uint32_t word = sub.size() >= 4 ? loadU32(sub.data.data()) : 0;
        if (sub.tag.is("NPCO"))
            out.append(sub.textAt(4))
                .append(word == 1 ? "" : "*")
                .append(word == 1 ? "" : std::to_string(word));
        else if (sub.tag.is("WIDX"))
            out.append("W")
                .append(std::to_string(word))
                .append("/")
                .append(std::to_string(loadU32(sub.data.data() + 4)));
        else
            out.append(sub.tag.str()).append("=").append(sub.text());
        out += ' ';
    }
    return out;
}

struct PlayerInventory : testing::Test {
    test::ConversionFixture fixture;

    void name(const std::string& id, const std::string& english,
              std::optional<std::string_view> italian = {}) {
        fixture.maps.itemNameMap.emplace(
            id, test::mapEntry(RecordBuilder("MISC").text("NAME", id).text("FNAM", english), italian));
    }
    std::string patch(const RecordBuilder& builder) {
        auto record = builder.build();
        EXPECT_TRUE(patchPlayerInventory(*record, fixture.context));
        EXPECT_EQ(record->size(), test::payloadSize(*record));
        EXPECT_EQ(test::bytesOf(*record).size(), builder.bytes().size());
        return parts(*record);
    }
};

TEST_F(PlayerInventory, SortsByNameMovingAttachedSubrecordsAndRenumbersTheEquipment) {
    name("item_b", "b");
    name("item_a", "A");
    name("item_c", "c");
    EXPECT_EQ(patch(npcc({"item_b", "item_a", "item_c", "W2/0"})), "item_a item_b item_c W2/0 ");
    EXPECT_EQ(patch(npcc({"item_b", "item_a", "item_c", "W0/0"})), "item_a item_b item_c W1/0 ");

    name("z", "Zweihander");
    name("a", "Axe");
    name("m", "Mace");
    EXPECT_EQ(
        patch(npcc({"z", "XIDX=z1", "XHLT=z2", "m*2", "a*3", "XIDX=a1", "SCRI=a2", "W0/1", "W2/4294967295"})),
        "a*3 XIDX=a1 SCRI=a2 m*2 z XIDX=z1 XHLT=z2 W0/4294967295 W2/1 ");
}

TEST_F(PlayerInventory, ComparesFoldingOnlyAsciiLettersWithPrefixesFirstAndKeepsTiesInOrder) {
    const char* const names[] = {"iron sword",
                                 "IRON",
                                 "\xE8"
                                 "cu",
                                 "\xC8"
                                 "cu",
                                 "zed",
                                 "Iron Sword",
                                 "Iron"};
    for (int i = 0; i < 7; ++i)
        name(std::to_string(i + 1), names[i]);
    EXPECT_EQ(patch(npcc({"1", "2", "3", "4", "5", "6", "7", "W0/0"})), "2 7 1 6 5 4 3 W2/0 ");
}

TEST_F(PlayerInventory, ConvertingToItalianSortsByTranslationAndToEnglishByTheOwnName) {
    const RecordBuilder inventory =
        npcc({"apple", "bread", "cheese", "dagger", "unknown_id", "Unknown_A", "W3/0"});
    for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish}) {
        fixture.reset(direction);
        name("apple", "Apple", "Mela");
        name("bread", "Bread", "Pane");
        name("cheese", "Cheese", "Formaggio");
        name("dagger", "Dagger"); // no translation: its own name
        EXPECT_EQ(patch(inventory), direction == EnglishToItalian
                                        ? "dagger cheese apple bread Unknown_A unknown_id W0/0 "
                                        : "apple bread cheese dagger Unknown_A unknown_id W3/0 ");
    }
}

TEST_F(PlayerInventory, LeavesEveryOtherLayoutByteForByte) {
    name("b", "B");
    name("a", "A");
    const std::pair<const char*, RecordBuilder> layouts[] = {
        {"not the player", npcc({"b", "a", "W0/0"}, build::z("fargoth"))},
        {"a name without its NUL", npcc({"b", "a", "W0/0"}, "PlayerSaveGame")},
        {"no name", npcc({"b", "a", "W0/0"}, "")},
        {"one item", npcc({"b", "W0/0"})},
        {"no equipment", npcc({"b", "XHLT=h", "a"})},
        {"a position past the entries", npcc({"b", "XHLT=h", "a", "W2/0"})},
        {"a negative position", npcc({"b", "XHLT=h", "a", "W4294967295/0"})},
        {"two references to one entry", npcc({"b", "XHLT=h", "a", "W1/0", "W1/1"})},
        {"an item after the equipment", npcc({"b", "W0/0", "a"})},
        {"equipment between the items", npcc({"b", "W0/0", "a", "W1/0"})},
        {"a subrecord after the equipment", npcc({"b", "XHLT=h", "a", "W0/0", "XHLT=after"})},
        {"a short reference", npcc({"b", "XHLT=h", "a", "WIDX=" + u32(0)})},
        {"a long reference", npcc({"b", "XHLT=h", "a", "WIDX=" + u32(0) + u32(0) + "x"})},
    };
    for (const auto& [what, builder] : layouts) {
        auto record = builder.build();
        EXPECT_TRUE(patchPlayerInventory(*record, fixture.context));
        EXPECT_EQ(test::bytesOf(*record), builder.bytes()) << what;
    }
}

// What a player record holds whatever the order of its items: the subrecords before the first item, each item
// with its attached subrecords, the item ID and slot of each equipment reference, and the IDs in record
// order.
struct InventoryContents {
    std::vector<std::string> head;
    std::multiset<std::string> entries;
    std::multiset<std::pair<std::string, std::uint32_t>> equipped;
    std::vector<std::string> ids;
};

InventoryContents contentsOf(const Record& record) {
    InventoryContents contents;
    std::vector<std::string> blocks;
    for (const auto& sub : record.subrecords()) {
        const std::string bytes =
            std::string(sub->tag.str()) + std::string(sub->data.begin(), sub->data.end());
        if (sub->tag.is("NPCO")) {
            blocks.push_back(bytes);
            contents.ids.emplace_back(sub->textAt(4));
        } else if (sub->tag.is("WIDX")) {
            const std::uint32_t position = loadU32(sub->data.data());
            EXPECT_LT(position, contents.ids.size());
            if (position < contents.ids.size())
                contents.equipped.emplace(contents.ids[position], loadU32(sub->data.data() + 4));
        } else {
            (blocks.empty() ? contents.head.emplace_back() : blocks.back()) += bytes;
        }
    }
    contents.entries.insert(blocks.begin(), blocks.end());
    return contents;
}

TEST(RealSaveInventory, KeepsEveryItemWithItsSubrecordsAndTheSameEquipment) {
    for (const char* saveName : test::RealSaves) {
        for (ConversionDirection direction : {EnglishToItalian, ItalianToEnglish}) {
            auto record = test::takeRecord(test::realSaveBytes(saveName), "NPCC", "PlayerSaveGame");
            ASSERT_TRUE(record) << saveName;
            const InventoryContents before = contentsOf(*record);
            const std::string original = test::bytesOf(*record);
            test::ConversionFixture fixture(direction);
            EXPECT_TRUE(patchPlayerInventory(*record, fixture.context));
            const InventoryContents after = contentsOf(*record);
            const std::string sorted = test::bytesOf(*record);
            EXPECT_NE(sorted, original) << saveName;
            EXPECT_EQ(sorted.size(), original.size()) << saveName;
            EXPECT_EQ(after.head, before.head) << saveName;
            EXPECT_EQ(after.entries, before.entries) << saveName;
            EXPECT_EQ(after.equipped, before.equipped) << saveName;
            EXPECT_FALSE(before.equipped.empty()) << saveName;
            // With no names known the items sort by their IDs, and sorting again changes nothing.
            EXPECT_TRUE(std::is_sorted(
                after.ids.begin(), after.ids.end(),
                [](const std::string& a, const std::string& b) { return compareFolded(a, b) < 0; }))
                << saveName;
            patchPlayerInventory(*record, fixture.context);
            EXPECT_EQ(test::bytesOf(*record), sorted) << saveName;
        }
    }
}

} // namespace
} // namespace orvella
