#include "records/SubrecordBytes.h"

#include <cstring>

namespace orvella {

SubrecordBytes& SubrecordBytes::operator=(const SubrecordBytes& other) {
    if (this != &other)
        assign(other.begin(), other.end());
    return *this;
}

SubrecordBytes& SubrecordBytes::operator=(SubrecordBytes&& other) noexcept {
    if (this != &other) {
        release();
        take(other);
    }
    return *this;
}

SubrecordBytes SubrecordBytes::borrowing(const std::uint8_t* bytes, std::size_t size) {
    SubrecordBytes borrowed;
    borrowed.heap_ = const_cast<std::uint8_t*>(bytes);
    borrowed.capacity_ = Borrowed;
    borrowed.size_ = static_cast<std::uint32_t>(size);
    return borrowed;
}

void SubrecordBytes::take(SubrecordBytes& other) {
    size_ = other.size_;
    capacity_ = other.capacity_;
    if (onHeap() || borrowed())
        heap_ = other.heap_;
    else
        std::memcpy(local_, other.local_, size_);
    other.size_ = 0;
    other.capacity_ = InlineCapacity;
}

void SubrecordBytes::assign(const std::uint8_t* first, const std::uint8_t* last) {
    const auto size = static_cast<std::size_t>(last - first);
    if (borrowed()) {
        // Nothing of this object's own is overwritten: the source may be the borrowed bytes themselves.
        capacity_ = InlineCapacity;
        size_ = 0;
    }
    if (size > capacity_) {
        // The new block is filled before the old one goes, since the source may lie inside it.
        auto* block = new std::uint8_t[size];
        std::memcpy(block, first, size);
        release();
        heap_ = block;
        capacity_ = static_cast<std::uint32_t>(size);
    } else if (size > 0) {
        std::memmove(data(), first, size);
    }
    size_ = static_cast<std::uint32_t>(size);
}

void SubrecordBytes::own() {
    if (borrowed()) {
        const std::uint8_t* bytes = heap_;
        assign(bytes, bytes + size_);
    }
}

void SubrecordBytes::release() {
    if (onHeap())
        delete[] heap_;
    capacity_ = InlineCapacity;
}

bool operator==(const SubrecordBytes& a, const SubrecordBytes& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

} // namespace orvella
