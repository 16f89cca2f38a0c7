#include "records/Record.h"

#include "records/RecordLayout.h"

#include <algorithm>
#include <cstring>

namespace orvella {

namespace {

std::uint32_t footprint(const Subrecord& subrecord) {
    return static_cast<std::uint32_t>(SubrecordHeaderSize) + subrecord.size();
}

template <typename List, typename Get>
Subrecord* findIn(const List& entries, std::string_view tagName, Get get) {
    // A full tag of four characters compares as four bytes: the common case needs no length of the stored
    // tag.
    if (tagName.size() == 4 && tagName.find('\0') == std::string_view::npos) {
        for (const auto& entry : entries)
            if (std::memcmp(get(entry)->tag.text, tagName.data(), 4) == 0)
                return get(entry);
        return nullptr;
    }
    for (const auto& entry : entries)
        if (get(entry)->tag.str() == tagName)
            return get(entry);
    return nullptr;
}

} // namespace

Record::Record(std::string_view tagName) : tag_(tagName) {}

Record::Record(Tag tagValue, std::uint32_t size, std::uint32_t headerWord, std::uint32_t flags)
    : tag_(tagValue), size_(size), headerWord_(headerWord), flags_(flags) {}

Subrecord* Record::findSubrecord(std::string_view tagName) const {
    if (insertionOrder_.empty())
        return findIn(subrecords_, tagName,
                      [](const std::unique_ptr<Subrecord>& entry) { return entry.get(); });
    return findIn(insertionOrder_, tagName, [](Subrecord* entry) { return entry; });
}

std::optional<std::string_view> Record::findText(std::string_view tagName) const {
    const Subrecord* subrecord = findSubrecord(tagName);
    if (!subrecord)
        return std::nullopt;
    return subrecord->text();
}

void Record::replaceData(Subrecord& subrecord, const void* bytes, std::uint32_t size) {
    size_ = size_ + size - subrecord.size();
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    subrecord.data.assign(first, first + size);
}

bool Record::replaceSubrecord(std::string_view tagName, const void* bytes, std::uint32_t size) {
    Subrecord* subrecord = findSubrecord(tagName);
    if (!subrecord)
        return false;
    replaceData(*subrecord, bytes, size);
    return true;
}

bool Record::replaceSubrecordAt(std::size_t index, const void* bytes, std::uint32_t size) {
    if (index >= subrecords_.size())
        return false;
    replaceData(*subrecords_[index], bytes, size);
    return true;
}

void Record::appendSubrecord(std::unique_ptr<Subrecord> subrecord) {
    insertSubrecordAt(subrecords_.size(), std::move(subrecord));
}

void Record::insertSubrecordAt(std::size_t index, std::unique_ptr<Subrecord> subrecord) {
    size_ += footprint(*subrecord);
    if (index < subrecords_.size() && insertionOrder_.empty()) {
        insertionOrder_.reserve(subrecords_.size() + 1);
        for (const auto& existing : subrecords_)
            insertionOrder_.push_back(existing.get());
    }
    if (!insertionOrder_.empty())
        insertionOrder_.push_back(subrecord.get());
    subrecords_.insert(subrecords_.begin() + static_cast<std::ptrdiff_t>(index), std::move(subrecord));
}

void Record::insertSubrecordBefore(std::optional<std::string_view> beforeTag, std::string_view tagName,
                                   const void* bytes, std::uint32_t size) {
    auto subrecord = std::make_unique<Subrecord>(tagName, bytes, size);
    if (!beforeTag) {
        appendSubrecord(std::move(subrecord));
        return;
    }
    for (std::size_t i = 0; i < subrecords_.size(); ++i) {
        if (subrecords_[i]->tag.str() == *beforeTag) {
            insertSubrecordAt(i, std::move(subrecord));
            return;
        }
    }
}

void Record::removeSubrecordAt(std::size_t index) {
    size_ -= footprint(*subrecords_[index]);
    subrecords_.erase(subrecords_.begin() + static_cast<std::ptrdiff_t>(index));
    rebuildIndex();
}

SubrecordList Record::removeSubrecordRange(std::size_t first, std::size_t end) {
    auto begin = subrecords_.begin() + static_cast<std::ptrdiff_t>(first);
    auto stop = subrecords_.begin() + static_cast<std::ptrdiff_t>(end);
    SubrecordList removed(std::make_move_iterator(begin), std::make_move_iterator(stop));
    subrecords_.erase(begin, stop);
    for (const auto& subrecord : removed)
        size_ -= footprint(*subrecord);
    rebuildIndex();
    return removed;
}

void Record::adoptReadSubrecord(std::unique_ptr<Subrecord> subrecord) {
    if (!insertionOrder_.empty())
        insertionOrder_.push_back(subrecord.get());
    subrecords_.push_back(std::move(subrecord));
}

void Record::reserveSubrecords(std::size_t count) {
    subrecords_.reserve(count);
}

void Record::rebuildIndex() {
    std::vector<Subrecord*>().swap(insertionOrder_);
}

} // namespace orvella
