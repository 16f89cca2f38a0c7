#pragma once

#include "records/SubrecordBytes.h"
#include "records/Tag.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace orvella {

// One subrecord of a record: a tag and an owned block of data, with no terminator added.
struct Subrecord {
    Tag tag;
    SubrecordBytes data;

    Subrecord(std::string_view tagName, const void* bytes, std::uint32_t size);
    Subrecord(Tag tagValue, const std::uint8_t* bytes, std::size_t size)
        : tag(tagValue), data(bytes, bytes + size) {}
    Subrecord(Tag tagValue, const std::vector<std::uint8_t>& bytes) : tag(tagValue), data(bytes) {}
    Subrecord(Tag tagValue, const SubrecordBytes& bytes) : tag(tagValue), data(bytes) {}
    Subrecord(Tag tagValue, SubrecordBytes&& bytes) : tag(tagValue), data(std::move(bytes)) {}

    std::uint32_t size() const { return static_cast<std::uint32_t>(data.size()); }
    // The data as text, up to its first NUL or to its end when it holds none.
    std::string_view text() const;
    // The data as text from a byte offset, with the same rule; empty when the offset lies beyond the data.
    std::string_view textAt(std::size_t offset) const;
};

} // namespace orvella
