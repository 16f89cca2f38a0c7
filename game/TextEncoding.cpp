#include "game/TextEncoding.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace orvella {

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

constexpr std::int32_t Malformed = -1;

// Reads the character that starts at `at` and moves past it; a byte that starts no well-formed character
// gives Malformed and moves past that byte alone. The range of the second byte shuts out the overlong
// forms, the surrogates and the code points past U+10FFFF.
std::int32_t nextCodePoint(std::string_view text, std::size_t& at) {
    const auto byteAt = [&](std::size_t i) -> unsigned {
        return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0;
    };
    const unsigned lead = byteAt(0);
    std::size_t length = 0;
    std::uint32_t codePoint = 0;
    unsigned low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        ++at;
        return lead < 0x80 ? static_cast<std::int32_t>(lead) : Malformed;
    }
    for (std::size_t i = 1; i < length; ++i, low = 0x80, high = 0xBF) {
        const unsigned next = byteAt(i);
        if (next < low || next > high) {
            ++at;
            return Malformed;
        }
        codePoint = codePoint << 6 | (next & 0x3F);
    }
    at += length;
    return static_cast<std::int32_t>(codePoint);
}

// The byte that stands in Windows-1252 for a code point of U+0080 or above (or Malformed), or -1. U+0080 to
// U+009F are C1 controls, not the characters the bytes 0x80 to 0x9F stand for, so no byte holds them:
// letting them through would turn a control into a quote or a euro sign.
int cp1252Byte(std::int32_t codePoint) {
    if (codePoint >= 0xA0 && codePoint <= 0xFF)
        return codePoint;
    for (int i = 0; i < 32; ++i)
        if (HighControls[i] == codePoint)
            return 0x80 + i;
    return -1;
}

} // namespace

std::size_t asciiRunEnd(std::string_view text, std::size_t at) {
    for (std::uint64_t word; at + 8 <= text.size(); at += 8) {
        std::memcpy(&word, text.data() + at, 8);
        if (word & 0x8080808080808080ull)
            break;
    }
    while (at < text.size() && static_cast<unsigned char>(text[at]) < 0x80)
        ++at;
    return at;
}

namespace {

// Encodes into out; a character without a byte becomes "?" when replacing, else stops the encoding.
bool encodeCp1252(std::string_view text, std::string& out, bool replacing) {
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            const std::size_t end = asciiRunEnd(text, at);
            out.append(text.data() + at, end - at);
            at = end;
            continue;
        }
        const int byte = cp1252Byte(nextCodePoint(text, at));
        if (byte >= 0)
            out += static_cast<char>(byte);
        else if (replacing)
            out += '?';
        else
            return false;
    }
    return true;
}

// Each byte's character in UTF-8, one to three bytes long.
struct Utf8Character {
    char bytes[3];
    std::uint8_t length;
};

const std::array<Utf8Character, 256> Utf8OfByte = [] {
    std::array<Utf8Character, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        std::uint32_t codePoint = byte;
        if (byte >= 0x80 && byte < 0xA0)
            codePoint = HighControls[byte - 0x80] ? HighControls[byte - 0x80] : 0xFFFD;
        std::string out;
        appendUtf8(out, codePoint);
        Utf8Character& character = table[byte];
        character.length = static_cast<std::uint8_t>(out.size());
        std::memcpy(character.bytes, out.data(), out.size());
    }
    return table;
}();

} // namespace

std::string cp1252ToUtf8(std::string_view text) {
    std::string out(3 * text.size(), '\0');
    char* to = out.data();
    for (std::size_t at = 0; at < text.size();) {
        // The bytes below 0x80 go over in one copy.
        const std::size_t end = asciiRunEnd(text, at);
        std::memcpy(to, text.data() + at, end - at);
        to += end - at;
        if (end == text.size())
            break;
        const Utf8Character& character = Utf8OfByte[static_cast<std::uint8_t>(text[end])];
        std::memcpy(to, character.bytes, 3);
        to += character.length;
        at = end + 1;
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
    return out;
}

std::optional<std::string> utf8ToCp1252(std::string_view text) {
    std::string out;
    if (!encodeCp1252(text, out, false))
        return std::nullopt;
    return out;
}

std::string utf8ToCp1252Replacing(std::string_view text) {
    std::string out;
    encodeCp1252(text, out, true);
    return out;
}

} // namespace orvella
