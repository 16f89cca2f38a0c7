#pragma once

#include <string>
#include <string_view>

namespace orvella::cli {

// Windows-1252 text as the terminal shows it: UTF-8 off Windows, the bytes themselves on Windows.
std::string toTerminal(std::string_view text);

// Decodes Windows-1252 into UTF-8; the five bytes that the code page leaves undefined become U+FFFD.
std::string cp1252ToUtf8(std::string_view text);

bool stdoutIsTerminal();

} // namespace orvella::cli
