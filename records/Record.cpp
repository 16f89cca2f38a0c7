#include "records/Record.h"

#include "records/RecordLayout.h"

#include <algorithm>
#include <cstring>

namespace orvella {

namespace {

std::uint32_t footprint(const Subrecord& subrecord) {
    return static_cast<std::uint32_t>(SubrecordHeaderSize) + subrecord.size();
}

} // namespace

Record::Record(std::string_view tagName) : tag_(tagName) {}

Record::Record(Tag tagValue, std::uint32_t size, std::uint32_t headerWord, std::uint32_t flags)
    : tag_(tagValue), size_(size), headerWord_(headerWord), flags_(flags) {}

std::size_t Record::findIndex(std::string_view tagName) const {
    const bool fourBytes = Tag::isFull(tagName);
    const std::size_t count = subrecords_.size();
    std::size_t found = count;
    for (std::size_t i = 0; i < count; ++i) {
        if (!subrecords_[i].tag.is(tagName, fourBytes))
            continue;
        if (addedTurn_.empty())
            return i;
        if (found == count || addedTurn_[i] < addedTurn_[found])
            found = i;
    }
    return found;
}

Subrecord* Record::findSubrecord(std::string_view tagName) {
    const std::size_t index = findIndex(tagName);
    return index < subrecords_.size() ? &subrecords_[index] : nullptr;
}

const Subrecord* Record::findSubrecord(std::string_view tagName) const {
    const std::size_t index = findIndex(tagName);
    return index < subrecords_.size() ? &subrecords_[index] : nullptr;
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
    replaceData(subrecords_[index], bytes, size);
    return true;
}

void Record::appendSubrecord(Subrecord subrecord) {
    insertSubrecordAt(subrecords_.size(), std::move(subrecord));
}

void Record::insertSubrecordAt(std::size_t index, Subrecord subrecord) {
    size_ += footprint(subrecord);
    const auto turn = static_cast<std::uint32_t>(subrecords_.size());
    if (index < subrecords_.size() && addedTurn_.empty()) {
        addedTurn_.resize(subrecords_.size());
        for (std::uint32_t i = 0; i < turn; ++i)
            addedTurn_[i] = i;
    }
    if (!addedTurn_.empty())
        addedTurn_.insert(addedTurn_.begin() + static_cast<std::ptrdiff_t>(index), turn);
    subrecords_.insert(subrecords_.begin() + static_cast<std::ptrdiff_t>(index), std::move(subrecord));
}

void Record::insertSubrecordBefore(std::optional<std::string_view> beforeTag, std::string_view tagName,
                                   const void* bytes, std::uint32_t size) {
    Subrecord subrecord(tagName, bytes, size);
    if (!beforeTag) {
        appendSubrecord(std::move(subrecord));
        return;
    }
    for (std::size_t i = 0; i < subrecords_.size(); ++i) {
        if (subrecords_[i].tag.str() == *beforeTag) {
            insertSubrecordAt(i, std::move(subrecord));
            return;
        }
    }
}

void Record::removeSubrecordAt(std::size_t index) {
    size_ -= footprint(subrecords_[index]);
    subrecords_.erase(subrecords_.begin() + static_cast<std::ptrdiff_t>(index));
    backToFileOrder();
}

SubrecordList Record::removeSubrecordRange(std::size_t first, std::size_t end) {
    auto begin = subrecords_.begin() + static_cast<std::ptrdiff_t>(first);
    auto stop = subrecords_.begin() + static_cast<std::ptrdiff_t>(end);
    SubrecordList removed(std::make_move_iterator(begin), std::make_move_iterator(stop));
    subrecords_.erase(begin, stop);
    for (Subrecord& subrecord : removed) {
        size_ -= footprint(subrecord);
        subrecord.data.own();
    }
    backToFileOrder();
    return removed;
}

std::uint8_t* Record::readBlock(std::size_t bytes, std::size_t count, ByteChunks* lender) {
    subrecords_.reserve(count);
    if (lender && bytes > 0)
        return reinterpret_cast<std::uint8_t*>(lender->extend(bytes));
    readBlock_.reset(bytes > 0 ? new std::uint8_t[bytes] : nullptr);
    return readBlock_.get();
}

void Record::backToFileOrder() {
    std::vector<std::uint32_t>().swap(addedTurn_);
}

} // namespace orvella
