#pragma once

#include <cstdint>

namespace orvella {

// Every record starts with its tag, its size and two header words; every subrecord with its tag and its size.
inline constexpr std::uint64_t RecordHeaderSize = 16;
inline constexpr std::uint64_t SubrecordHeaderSize = 8;
// Byte offset of the record count in every file of the game's record format.
inline constexpr std::int64_t RecordCountOffset = 320;

} // namespace orvella
