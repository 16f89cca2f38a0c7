#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvella {

// The game's files, its saves and the log are Windows-1252; OpenMW's saves are UTF-8.

// Decodes Windows-1252 into UTF-8; the five bytes that the code page leaves undefined become U+FFFD.
std::string cp1252ToUtf8(std::string_view text);

// Encodes UTF-8 as Windows-1252; nothing when the text is not well-formed UTF-8 (an overlong form, a
// surrogate, a sequence cut short, a code point past U+10FFFF) or holds a character the code page lacks.
std::optional<std::string> utf8ToCp1252(std::string_view text);

// Where the run of bytes below 0x80 that begins at the offset ends: both encodings spell those alike.
std::size_t asciiRunEnd(std::string_view text, std::size_t at = 0);

// utf8ToCp1252 that puts "?" in place of each character the code page lacks and of each byte that is not
// part of a well-formed character.
std::string utf8ToCp1252Replacing(std::string_view text);

} // namespace orvella
