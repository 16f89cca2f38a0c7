#pragma once

#include <cstdint>
#include <vector>

namespace orvella {

// The game's files are little-endian whatever the machine.
inline std::uint32_t loadU32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

inline std::int32_t loadI32(const std::uint8_t* bytes) {
    return static_cast<std::int32_t>(loadU32(bytes));
}

inline void storeU32(std::uint8_t* bytes, std::uint32_t value) {
    bytes[0] = static_cast<std::uint8_t>(value);
    bytes[1] = static_cast<std::uint8_t>(value >> 8);
    bytes[2] = static_cast<std::uint8_t>(value >> 16);
    bytes[3] = static_cast<std::uint8_t>(value >> 24);
}

inline void appendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    std::uint8_t bytes[4];
    storeU32(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}

} // namespace orvella
