#include "scan/HeldRecords.h"

#include "records/Bytes.h"
#include "records/RecordLayout.h"
#include "scan/ScanMerge.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <thread>

namespace orvella {

void HeldRecords::keep(MapKind kind, std::string_view key, const RecordView& record,
                       std::string_view textTag) {
    std::size_t bytes = key.size();
    for (const SubrecordView& subrecord : record.subrecords)
        if (keptInMap(kind, subrecord.tag))
            bytes += SubrecordHeaderSize + subrecord.data.size();
    char* at = bytes_.extend(bytes);
    const auto keySize = static_cast<std::uint32_t>(key.size());
    const auto subrecordsSize = static_cast<std::uint32_t>(bytes - key.size());
    Held held{kind, record.tag, subrecordsSize, record.headerWord, record.flags, at, keySize, subrecordsSize};
    const bool fullText = Tag::isFull(textTag);
    if (!key.empty())
        std::memcpy(at, key.data(), key.size());
    at += key.size();
    for (const SubrecordView& subrecord : record.subrecords) {
        if (!keptInMap(kind, subrecord.tag))
            continue;
        std::memcpy(at, subrecord.tag.text, 4);
        storeU32(reinterpret_cast<std::uint8_t*>(at + 4), subrecord.size());
        at += SubrecordHeaderSize;
        // The text is the first subrecord with its tag, as a lookup in the record finds it.
        if (held.text == NoText && !textTag.empty() && subrecord.tag.is(textTag, fullText)) {
            held.text = static_cast<std::uint32_t>(at - held.key);
            held.textSize = subrecord.size();
        }
        if (!subrecord.data.empty())
            std::memcpy(at, subrecord.data.data(), subrecord.data.size());
        at += subrecord.data.size();
    }
    held_.push_back(held);
    auto shiftIn = [&](std::uint64_t number, std::size_t first, std::size_t count) {
        for (std::size_t b = first; b < first + count; ++b)
            number = number << 8 | (b < key.size() ? static_cast<unsigned char>(key[b]) : 0u);
        return number;
    };
    sortKeys_.push_back({shiftIn(static_cast<std::uint64_t>(kind), 0, 7), shiftIn(0, 7, 8),
                         static_cast<std::uint32_t>(held_.size() - 1)});
}

std::unique_ptr<TranslatedRecord> HeldRecords::build(const Held& held, RecordView& view, ByteChunks& bytes) {
    view.tag = held.tag;
    view.size = held.size;
    view.headerWord = held.headerWord;
    view.flags = held.flags;
    view.subrecords.clear();
    const auto* at = reinterpret_cast<const std::uint8_t*>(held.key) + held.keySize;
    const std::uint8_t* end = at + held.subrecordsSize;
    while (at < end) {
        const std::uint32_t size = loadU32(at + 4);
        SubrecordView& subrecord = view.subrecords.emplace_back();
        std::memcpy(subrecord.tag.text, at, 4);
        subrecord.data = {at + SubrecordHeaderSize, size};
        at += SubrecordHeaderSize + size;
    }
    return view.build<TranslatedRecord>(&bytes);
}

void HeldRecords::translate(TranslatedRecord& record, const Held& held, ByteChunks& bytes) const {
    const char* text = held.key + held.text;
    if (pass_ == MasterPass)
        record.replaceSubrecord(std::string_view(text - SubrecordHeaderSize, 4), text, held.textSize);
    else
        record.setTranslation(TranslationTag, text, held.textSize, bytes);
}

void HeldRecords::arrange() {
    // Each ID's records stay in the order their files gave them.
    std::sort(sortKeys_.begin(), sortKeys_.end(), [&](const SortKey& a, const SortKey& b) {
        if (a.high != b.high)
            return a.high < b.high;
        if (a.low != b.low)
            return a.low < b.low;
        const int order = keyOf(held_[a.index]).compare(keyOf(held_[b.index]));
        return order != 0 ? order < 0 : a.index < b.index;
    });
    order_.resize(held_.size());
    for (std::size_t i = 0; i < sortKeys_.size(); ++i)
        order_[i] = sortKeys_[i].index;
    sortKeys_ = {};
}

std::span<const std::uint32_t> HeldRecords::orderOf(MapKind kind) const {
    const auto [begin, end] = std::equal_range(order_.begin(), order_.end(), kind, KindOrder{held_});
    return {begin, end};
}

void HeldRecords::merge(TranslationMap& map, ByteChunks& bytes, TranslationMap::iterator& at,
                        std::span<const std::uint32_t> group, RecordView& view) const {
    const Held& kept = held_[group.front()];
    const std::string_view key = keyOf(kept);
    const bool known = at != map.end() && std::string_view(at->first) == key;
    // A known ID takes the last text of all its records, a new one that of its later records.
    const Held* text = nullptr;
    for (std::size_t i = known ? 0 : 1; i < group.size(); ++i)
        if (held_[group[i]].text != NoText)
            text = &held_[group[i]];
    if (!known) {
        at = map.emplace_hint(at, std::string(key), build(kept, view, bytes));
        if (pass_ == PluginPass)
            at->second->setFromPlugin();
    }
    if (text)
        translate(*at->second, *text, bytes);
}

void HeldRecords::mergeInto(TranslationMaps& maps, MapKind kind, std::span<HeldRecords* const> sets) {
    TranslationMap& map = maps[kind];
    ByteChunks& bytes = maps.bytesOf(kind);
    // Where each set stands in its records of the map.
    struct Cursor {
        const HeldRecords& set;
        std::span<const std::uint32_t> order;
        std::size_t first = 0;

        bool done() const { return first == order.size(); }
        std::string_view key() const { return keyOf(set.held_[order[first]]); }
    };
    std::vector<Cursor> cursors;
    for (const HeldRecords* set : sets)
        cursors.push_back({*set, set->orderOf(kind)});
    auto at = map.begin();
    // One view serves every record built here, so that its list is not grown again for each.
    RecordView view;
    for (;;) {
        // The least ID that a set still holds.
        const Cursor* least = nullptr;
        for (const Cursor& cursor : cursors)
            if (!cursor.done() && (!least || cursor.key() < least->key()))
                least = &cursor;
        if (!least)
            return;
        const std::string_view key = least->key();
        while (at != map.end() && std::string_view(at->first) < key)
            ++at;
        for (Cursor& cursor : cursors) {
            if (cursor.done() || cursor.key() != key)
                continue;
            std::size_t end = cursor.first + 1;
            while (end < cursor.order.size() && keyOf(cursor.set.held_[cursor.order[end]]) == key)
                ++end;
            cursor.set.merge(map, bytes, at, cursor.order.subspan(cursor.first, end - cursor.first), view);
            cursor.first = end;
        }
    }
}

void HeldRecords::mergeInto(TranslationMaps& maps, std::span<HeldRecords* const> sets) {
    for (HeldRecords* set : sets)
        if (set->order_.size() != set->held_.size())
            set->arrange();
    // Each map is merged on its own; the NPCs' and the items', about as many records as all the others, on a
    // second thread.
    auto onSecondThread = [](MapKind kind) { return kind == MapKind::Npc || kind == MapKind::Item; };
    {
        std::jthread second([&] {
            for (MapKind kind : AllMapKinds)
                if (onSecondThread(kind))
                    mergeInto(maps, kind, sets);
        });
        for (MapKind kind : AllMapKinds)
            if (!onSecondThread(kind))
                mergeInto(maps, kind, sets);
    }
    for (HeldRecords* set : sets) {
        set->held_ = {};
        set->order_ = {};
    }
}

} // namespace orvella
