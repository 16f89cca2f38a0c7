#include "records/SubrecordBytes.h"

#include <cstring>

namespace orvella {

SubrecordBytes& SubrecordBytes::operator=(const SubrecordBytes& other) {
    if (this != &other)
        assign(other.begin(), other.end());
    return *this;
}

void SubrecordBytes::assign(const std::uint8_t* first, const std::uint8_t* last) {
    const auto size = static_cast<std::size_t>(last - first);
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

void SubrecordBytes::release() {
    if (onHeap())
        delete[] heap_;
    capacity_ = InlineCapacity;
}

bool operator==(const SubrecordBytes& a, const SubrecordBytes& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

} // namespace orvella
