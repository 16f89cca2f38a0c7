#include "TerminalText.h"

#include <cstdint>
#include <cstdio>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orvella::cli {

namespace {

// Code points of the bytes 0x80 to 0x9F; 0 marks the bytes Windows-1252 does not define.
const std::uint16_t HighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | codePoint >> 6);
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | codePoint >> 12);
        out += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

} // namespace

std::string cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<std::uint8_t>(c);
        if (byte >= 0x80 && byte < 0xA0)
            appendUtf8(out, HighControls[byte - 0x80] ? HighControls[byte - 0x80] : 0xFFFD);
        else
            appendUtf8(out, byte);
    }
    return out;
}

std::string toTerminal(std::string_view text) {
#ifdef _WIN32
    return std::string(text);
#else
    return cp1252ToUtf8(text);
#endif
}

std::string toTerminal(std::string_view text, std::string_view fileName) {
    if (fileName.empty())
        return toTerminal(text);
    std::string out;
    for (std::size_t at = text.find(fileName); at != std::string_view::npos; at = text.find(fileName)) {
        out += toTerminal(text.substr(0, at));
        out += fileName;
        text.remove_prefix(at + fileName.size());
    }
    return out + toTerminal(text);
}

std::string withLineFeeds(std::string_view text) {
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            lines += text[i];
    return lines;
}

std::string pathText(std::string_view path) {
    std::string shown(path);
#ifndef _WIN32
    for (char& c : shown)
        if (c == '\\')
            c = '/';
#endif
    return shown;
}

bool stdoutIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(fileno(stdout)) != 0;
#endif
}

} // namespace orvella::cli
