#include "game/AsciiFold.h"
#include "records/Bytes.h"
#include "translate/SaveHandlers.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

namespace {

constexpr char PlayerRecordName[] = "PlayerSaveGame"; // compared with its NUL
constexpr std::uint32_t WidxSize = 8;

// One carried item: its NPCO and the subrecords that follow it, by index into the record before the sort.
struct InventoryEntry {
    std::string_view sortKey;
    std::size_t item = 0;
    std::vector<std::size_t> attached;
    bool equipped = false;
    std::uint32_t slot = 0; // the second word of the WIDX that names the entry
};

struct Inventory {
    std::size_t firstItem = 0;
    std::vector<InventoryEntry> entries;
    std::size_t equipmentCount = 0;
};

bool isPlayer(const Record& record) {
    const Subrecord* name = record.findSubrecord("NAME");
    return name && name->size() >= sizeof PlayerRecordName &&
           std::memcmp(name->data.data(), PlayerRecordName, sizeof PlayerRecordName) == 0;
}

std::string_view sortKeyOf(const Subrecord& item, const ConversionContext& context) {
    const std::string_view id = item.textAt(4);
    const auto& items = context.maps[MapKind::Item];
    auto found = items.find(std::string(id));
    if (found == items.end())
        return id;
    if (const Subrecord* name = found->second->textIn(targetLanguage(context.direction), "FNAM"))
        return name->text();
    return id;
}

// Reads the entries and the equipment; false when the record is not laid out as entries followed by exactly
// as many WIDX as end the record, each naming a different entry, since re-sorting anything else could lose
// or misplace subrecords.
bool readInventory(const Record& record, const ConversionContext& context, Inventory& inventory) {
    const std::size_t count = record.subrecordCount();
    bool entryOpen = false;
    std::size_t firstEquipment = count;
    std::set<std::uint32_t> named;
    for (std::size_t i = 0; i < count; ++i) {
        const Subrecord& subrecord = record.subrecordAt(i);
        if (firstEquipment < count && !subrecord.tag.is("WIDX"))
            return false;
        if (subrecord.tag.is("NPCO")) {
            if (inventory.entries.empty())
                inventory.firstItem = i;
            inventory.entries.push_back({sortKeyOf(subrecord, context), i, {}, false, 0});
            entryOpen = true;
        } else if (subrecord.tag.is("WIDX")) {
            firstEquipment = std::min(firstEquipment, i);
            entryOpen = false;
            if (subrecord.size() != WidxSize)
                return false;
            const std::uint32_t position = loadU32(subrecord.data.data());
            if (position >= inventory.entries.size() || !named.insert(position).second)
                return false;
            inventory.entries[position].equipped = true;
            inventory.entries[position].slot = loadU32(subrecord.data.data() + 4);
            ++inventory.equipmentCount;
        } else if (entryOpen) {
            inventory.entries.back().attached.push_back(i);
        }
    }
    return true;
}

void rewriteInventory(Record& record, Inventory& inventory) {
    const std::size_t first = inventory.firstItem;
    SubrecordList removed =
        record.removeSubrecordRange(first, record.subrecordCount() - inventory.equipmentCount);
    std::size_t at = first;
    std::size_t renumbered = 0;
    for (std::size_t k = 0; k < inventory.entries.size(); ++k) {
        const InventoryEntry& entry = inventory.entries[k];
        record.insertSubrecordAt(at++, std::move(removed[entry.item - first]));
        for (std::size_t index : entry.attached)
            record.insertSubrecordAt(at++, std::move(removed[index - first]));
        if (entry.equipped) {
            std::uint8_t data[WidxSize];
            storeU32(data, static_cast<std::uint32_t>(k));
            storeU32(data + 4, entry.slot);
            record.replaceSubrecordAt(at + renumbered++, data, WidxSize);
        }
    }
}

} // namespace

bool patchPlayerInventory(Record& record, ConversionContext& context) {
    if (!isPlayer(record))
        return true;
    Inventory inventory;
    if (!readInventory(record, context, inventory) || inventory.entries.size() < 2 ||
        inventory.equipmentCount == 0)
        return true;
    // A stable sort keeps items with equal names in their order, so a conversion is repeatable.
    std::stable_sort(inventory.entries.begin(), inventory.entries.end(),
                     [](const InventoryEntry& a, const InventoryEntry& b) {
                         return compareFolded(a.sortKey, b.sortKey) < 0;
                     });
    rewriteInventory(record, inventory);
    return true;
}

} // namespace orvella
