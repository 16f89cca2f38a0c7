#include "records/Subrecord.h"

#include <cstring>

namespace orvella {

Subrecord::Subrecord(std::string_view tagName, const void* bytes, std::uint32_t size)
    : tag(tagName),
      data(static_cast<const std::uint8_t*>(bytes), static_cast<const std::uint8_t*>(bytes) + size) {}

std::string_view Subrecord::text() const {
    return textAt(0);
}

std::string_view Subrecord::textAt(std::size_t offset) const {
    if (offset >= data.size())
        return {};
    const char* start = reinterpret_cast<const char*>(data.data()) + offset;
    std::size_t available = data.size() - offset;
    const void* nul = std::memchr(start, 0, available);
    return std::string_view(start, nul ? static_cast<const char*>(nul) - start : available);
}

} // namespace orvella
