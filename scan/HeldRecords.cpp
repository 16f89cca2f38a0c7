#include "scan/HeldRecords.h"

#include "records/Bytes.h"
#include "records/RecordLayout.h"
#include "scan/ScanMerge.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <span>
#include <thread>

namespace orvella {

void HeldRecords::keep(MapKind kind, std::string_view key, const RecordView& record,
                       std::string_view textTag) {
    std::size_t bytes = key.size();
    for (const SubrecordView& subrecord : record.subrecords)
        bytes += SubrecordHeaderSize + subrecord.data.size();
    char* at = bytes_.extend(bytes);
    Held held{kind, record.tag, record.size, record.headerWord, record.flags, at, 0, 0};
    held.keySize = static_cast<std::uint32_t>(key.size());
    held.subrecordsSize = static_cast<std::uint32_t>(bytes - key.size());
    const bool fullText = Tag::isFull(textTag);
    if (!key.empty())
        std::memcpy(at, key.data(), key.size());
    at += key.size();
    for (const SubrecordView& subrecord : record.subrecords) {
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
    order_.resize(held_.size());
    std::iota(order_.begin(), order_.end(), 0u);
    std::stable_sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (held_[a].kind != held_[b].kind)
            return held_[a].kind < held_[b].kind;
        return keyOf(held_[a]) < keyOf(held_[b]);
    });
}

void HeldRecords::mergeInto(TranslationMaps& maps, MapKind kind) const {
    TranslationMap& map = mapOf(maps, kind);
    ByteChunks& bytes = bytesOf(maps, kind);
    // The held records of the map, by ID.
    const auto [begin, stop] = std::equal_range(order_.begin(), order_.end(), kind, KindOrder{held_});
    const std::span<const std::uint32_t> order(begin, stop);
    auto at = map.begin();
    // One view serves every record built here, so that its list is not grown again for each.
    RecordView view;
    for (std::size_t first = 0, end = 0; first < order.size(); first = end) {
        const Held& kept = held_[order[first]];
        const std::string_view key = keyOf(kept);
        for (end = first + 1; end < order.size() && keyOf(held_[order[end]]) == key; ++end) {
        }
        while (at != map.end() && std::string_view(at->first) < key)
            ++at;
        const bool known = at != map.end() && std::string_view(at->first) == key;
        // A known ID takes the last text of all its records, a new one that of its later records.
        const Held* text = nullptr;
        for (std::size_t i = known ? first : first + 1; i < end; ++i)
            if (held_[order[i]].text != NoText)
                text = &held_[order[i]];
        if (!known)
            at = map.emplace_hint(at, std::string(key), build(kept, view, bytes));
        if (text)
            translate(*at->second, *text, bytes);
    }
}

void HeldRecords::mergeInto(TranslationMaps& maps) {
    if (order_.size() != held_.size())
        arrange();
    // Each map is merged on its own; the NPCs' and the items' on a second thread.
    {
        std::jthread second([&] {
            mergeInto(maps, MapKind::Npc);
            mergeInto(maps, MapKind::Item);
        });
        mergeInto(maps, MapKind::Gmst);
        mergeInto(maps, MapKind::JournalTopic);
        mergeInto(maps, MapKind::JournalEntry);
    }
    held_ = {};
    order_ = {};
}

} // namespace orvella
