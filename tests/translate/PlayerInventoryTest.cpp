#include "ConversionFixture.h"
#include "RecordViews.h"
#include "records/Bytes.h"
#include "translate/SaveHandlers.h"

#include <gtest/gtest.h>

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
            out += std::string(sub.textAt(4)) + (word == 1 ? "" : "*" + std::to_string(word));
        else if (sub.tag.is("WIDX"))
            out += "W" + std::to_string(word) + "/" + std::to_string(loadU32(sub.data.data() + 4));
        else
            out += std::string(sub.tag.str()) + "=" + std::string(sub.text());
        out += ' ';
    }
    return out;
}

// The items sort by the name the player will read, folding only ASCII letters, prefixes first and ties in
// their order; each takes the subrecords that follow it, and the equipment follows its items. The inventory's
// fuzz target and the damaged saves leave every other layout as it was.
TEST(PlayerInventory, SortsByTheTargetLanguagesNameMovingAttachedSubrecordsAndRenumberingTheEquipment) {
    test::ConversionFixture fixture;
    auto name = [&fixture](const std::string& id, const char* english,
                           std::optional<std::string_view> italian = {}) {
        fixture.maps.itemNameMap.emplace(
            id, test::mapEntry(RecordBuilder("MISC").text("NAME", id).text("FNAM", english), italian));
    };
    const struct {
        ConversionDirection direction;
        RecordBuilder record;
        std::string sorted;
    } cases[] = {
        {EnglishToItalian, npcc({"b", "a", "c", "W2/0"}), "a b c W2/0 "},
        {EnglishToItalian, npcc({"b", "a", "c", "W0/0"}), "a b c W1/0 "},
        {EnglishToItalian,
         npcc({"z", "XIDX=z1", "XHLT=z2", "m*2", "a*3", "XIDX=a1", "SCRI=a2", "W0/1", "W2/4294967295"}),
         "a*3 XIDX=a1 SCRI=a2 m*2 z XIDX=z1 XHLT=z2 W0/4294967295 W2/1 "},
        {EnglishToItalian, npcc({"1", "2", "3", "4", "5", "6", "7", "W0/0"}), "2 7 1 6 5 4 3 W2/0 "},
        {EnglishToItalian, npcc({"apple", "bread", "dagger", "unknown_id", "Unknown_A", "W2/0"}),
         "dagger apple bread Unknown_A unknown_id W0/0 "},
        {ItalianToEnglish, npcc({"bread", "dagger", "apple", "unknown_id", "Unknown_A", "W2/0"}),
         "apple bread dagger Unknown_A unknown_id W0/0 "},
    };
    for (const auto& c : cases) {
        fixture.reset(c.direction);
        for (auto [id, english] :
             {std::pair{"a", "Axe"}, {"b", "bow"}, {"c", "Club"}, {"m", "Mace"}, {"z", "Zweihander"}})
            name(id, english);
        // clang-format off
        const char* const names[] = {"iron sword", "IRON", "\xE8" "cu", "\xC8" "cu", "zed", "Iron Sword", "Iron"};
        // clang-format on
        for (int i = 0; i < 7; ++i)
            name(std::to_string(i + 1), names[i]);
        name("apple", "Apple", "Mela");
        name("bread", "Bread", "Pane");
        name("dagger", "Dagger"); // no translation: its own name
        auto record = c.record.build();
        EXPECT_TRUE(patchPlayerInventory(*record, fixture.context));
        EXPECT_EQ(record->size(), test::payloadSize(*record));
        EXPECT_EQ(parts(*record), c.sorted);
    }
}

} // namespace
} // namespace orvella
