#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace orvella {

// A record or subrecord type: four characters as the game spells them, kept with a terminating NUL.
struct Tag {
    char text[5] = {0, 0, 0, 0, 0};

    Tag() = default;
    explicit Tag(std::string_view name) {
        if (!name.empty())
            std::memcpy(text, name.data(), name.size() < 4 ? name.size() : 4);
    }
    static Tag fromBytes(const void* bytes) {
        Tag tag;
        std::memcpy(tag.text, bytes, 4);
        return tag;
    }

    // The tag as a string: its characters up to the first NUL.
    std::string_view str() const { return std::string_view(text, std::strlen(text)); }
    bool is(std::string_view name) const { return str() == name; }
    // Whether a name is a full tag, four characters none of which is NUL.
    static bool isFull(std::string_view name) {
        return name.size() == 4 && name.find('\0') == std::string_view::npos;
    }
    // is(name), for a name that isFull already tells about: a full name compares as four bytes, so that a
    // lookup over many subrecords need not measure each stored tag.
    bool is(std::string_view name, bool full) const {
        return full ? std::memcmp(text, name.data(), 4) == 0 : is(name);
    }
    // Compares all four bytes, as the save loop compares item tags.
    bool sameBytes(const Tag& other) const { return std::memcmp(text, other.text, 4) == 0; }
    // The four bytes as one number: the key of the tables that find a record's handler by its tag without
    // building a string for every record.
    std::uint32_t key() const {
        std::uint32_t key;
        std::memcpy(&key, text, 4);
        return key;
    }
    // key() of a full tag named when compiling.
    static constexpr std::uint32_t keyOf(const char (&name)[5]) {
        std::uint32_t key = 0;
        for (int i = 0; i < 4; ++i) {
            const int shift = std::endian::native == std::endian::little ? 8 * i : 8 * (3 - i);
            key |= static_cast<std::uint32_t>(static_cast<unsigned char>(name[i])) << shift;
        }
        return key;
    }
};

} // namespace orvella
