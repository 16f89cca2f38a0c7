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

void SubrecordBytes::assign(const std::uint8_t* first, const std::uint8_t* last) {
    const auto size = static_cast<std::size_t>(last - first);
    // Borrowed bytes are given up for a block of its own; the source may be those bytes themselves.
    if (borrowed())
        bytes_ = nullptr;
    if (size > capacity_) {
        // The new block is filled before the old one goes, since the source may lie inside it.
        auto* block = new std::uint8_t[size];
        std::memcpy(block, first, size);
        release();
        bytes_ = block;
        capacity_ = static_cast<std::uint32_t>(size);
    } else if (size > 0) {
        std::memmove(bytes_, first, size);
    }
    size_ = static_cast<std::uint32_t>(size);
}

void SubrecordBytes::own() {
    if (borrowed()) {
        const std::uint8_t* bytes = bytes_;
        assign(bytes, bytes + size_);
    }
}

bool operator==(const SubrecordBytes& a, const SubrecordBytes& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

} // namespace orvella
