// Re-sorts arbitrary bytes as the subrecords of an NPCC record (tag, size, data; a size past the end takes
// what is left), both ways. The record is left byte for byte or validly re-sorted: each item with the
// subrecords that followed it, and every equipment reference naming the same item with the same second word.

#include "FuzzSupport.h"
#include "records/Bytes.h"
#include "translate/SaveHandlers.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace orvella::fuzz {
namespace {

// The inventory as the handler reads it: the subrecords before the first item, each item with what follows
// it up to the next item or WIDX, and each WIDX as (its item's entry, its second word).
struct Layout {
    std::vector<std::string> head;
    std::multiset<std::string> entries;
    std::multiset<std::pair<std::string, std::uint32_t>> equipment;
    bool valid = true;
};

Layout layoutOf(const Record& record) {
    Layout layout;
    std::vector<std::string> entries;
    for (const auto& subrecord : record.subrecords()) {
        const std::string bytes =
            std::string(subrecord.tag.text, 4) + std::string(subrecord.data.begin(), subrecord.data.end());
        if (subrecord.tag.is("WIDX")) {
            const std::uint32_t at = subrecord.size() == 8 ? loadU32(subrecord.data.data()) : 0xFFFFFFFFu;
            layout.valid = layout.valid && at < entries.size();
            if (at < entries.size())
                layout.equipment.emplace(entries[at], loadU32(subrecord.data.data() + 4));
        } else if (!layout.equipment.empty() || !layout.valid) {
            layout.valid = false;
        } else if (subrecord.tag.is("NPCO")) {
            entries.push_back(bytes);
        } else {
            (entries.empty() ? layout.head.emplace_back() : entries.back()) += bytes;
        }
    }
    layout.entries.insert(entries.begin(), entries.end());
    return layout;
}

void resort(const std::uint8_t* data, std::size_t size, ConversionDirection direction) {
    ConversionContext& context = preparedContext(direction);
    auto record = std::make_unique<Record>("NPCC");
    for (std::size_t at = 0; size - at >= 8;) {
        const std::size_t length = std::min<std::size_t>(loadU32(data + at + 4), size - at - 8);
        record->appendSubrecord(Subrecord(Tag::fromBytes(data + at),
                                          std::vector<std::uint8_t>(data + at + 8, data + at + 8 + length)));
        at += 8 + length;
    }
    const std::string before = test::bytesOf(*record);
    const Layout layoutBefore = layoutOf(*record);
    require(patchPlayerInventory(*record, context) && sizeAddsUp(*record),
            "a player record dropped, or one whose size does not add up");
    if (test::bytesOf(*record) == before)
        return;

    // The head, the entries with their subrecords and the equipment together hold every subrecord.
    const Layout layoutAfter = layoutOf(*record);
    require(layoutBefore.valid && layoutAfter.valid, "a record re-sorted that is no inventory, or into none");
    require(layoutAfter.head == layoutBefore.head, "the subrecords before the items moved");
    require(layoutAfter.entries == layoutBefore.entries, "an item separated from its subrecords");
    require(layoutAfter.equipment == layoutBefore.equipment, "equipment that names another item");
}

} // namespace
} // namespace orvella::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orvella::fuzz::resort(data, size, orvella::EnglishToItalian);
    orvella::fuzz::resort(data, size, orvella::ItalianToEnglish);
    return 0;
}
