#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace orvella {

// OpenMW writes most ids typed from this save format version on: a byte for the id's kind, then its data.
inline constexpr std::uint32_t FirstTypedIdVersion = 24;

// The kinds of a typed id; a text id is the only one that can name a record of the game's files.
enum class IdKind : std::uint8_t {
    Empty = 0,
    SizedText = 1, // its length, then its text
    Text = 2,      // its text, to the end of the subrecord
    FormId = 3,
    Generated = 4,
    Index = 5,
    ExteriorCell = 6,
};

// How an id stands in its subrecord, so that a changed one is written the same way.
struct IdForm {
    bool typed = false;
    IdKind kind = IdKind::Text; // of a typed id
    std::uint32_t padding = 0;  // NULs after the text
};

// An id as a save holds it. Only a text id has a text.
struct SaveId {
    IdForm form;
    bool isText = true;
    std::string_view text;
};

// Reads the id that a subrecord holds in a save of the format version. From the version that types ids,
// a field that OpenMW writes with its id writer is typed; the others are plain text, unless they begin with
// a byte below a blank, which no text id does and every kind does. Nothing when a typed id is of an unknown
// kind or its data does not fit its kind.
std::optional<SaveId> readSaveId(std::span<const std::uint8_t> data, std::uint32_t formatVersion,
                                 bool typedField);

// The bytes of a text id in the form of another.
std::vector<std::uint8_t> saveIdBytes(std::string_view text, const IdForm& form);

} // namespace orvella
