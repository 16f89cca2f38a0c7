#include "game/TextEncoding.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

// Every byte the code page defines comes back from UTF-8 as it was, alone and in one text; the five it
// leaves undefined are read as U+FFFD, which no byte holds.
TEST(TextEncoding, EveryDefinedByteComesBackAndTheUndefinedOnesDoNot) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        const bool undefined = byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
        EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(one)), undefined ? std::nullopt : std::optional(one)) << byte;
        all += undefined ? "" : one;
    }
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
    EXPECT_EQ(cp1252ToUtf8("\x80\x9F\xA0\xE8\x81"), "\xE2\x82\xAC\xC5\xB8\xC2\xA0\xC3\xA8\xEF\xBF\xBD");
}

// Each text stands between "a" and "b": the strict encoding refuses it, the replacing one puts "?" for each
// character the code page lacks and for each byte of a sequence that is not well-formed.
TEST(TextEncoding, RefusesMalformedTextAndCharactersTheCodePageLacks) {
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        // Overlong forms, surrogates, sequences cut short, stray bytes, code points past U+10FFFF.
        {"\xC0\x80", "??"}, {"\xC1\xBF", "??"}, {"\xE0\x9F\xBF", "???"}, {"\xF0\x8F\xBF\xBF", "????"},
        {"\xED\xA0\x80", "???"}, {"\xED\xBF\xBF", "???"}, {"\xC3", "?"}, {"\xE2\x82", "??"},
        {"\xF0\x9F\x98", "???"}, {"\xE2\x82\xAC\xC3", "\x80?"}, {"\x80", "?"}, {"\xBF\xBF", "??"},
        {"\xFE\xFF", "??"}, {"\xC3\xA8\xE2\x82", "\xE8??"}, {"\xF4\x90\x80\x80", "????"},
        {"\xF5\x80\x80\x80", "????"},
        // C1 controls, U+FFFD and other characters the code page lacks.
        {"\xC2\x80", "?"}, {"\xC2\x81", "?"}, {"\xC2\x9F", "?"}, {"\xEF\xBF\xBD", "?"}, {"\xC4\x80", "?"},
        {"\xE2\x82\xAD", "?"}, {"\xED\x9F\xBF", "?"}, {"\xF4\x8F\xBF\xBF", "?"}, {"\xF0\x9F\x98\x80", "?"}};
    // clang-format on
    for (const auto& [utf8, replaced] : cases) {
        EXPECT_EQ(utf8ToCp1252("a" + utf8 + "b"), std::nullopt) << replaced;
        EXPECT_EQ(utf8ToCp1252Replacing("a" + utf8 + "b"), "a" + replaced + "b") << replaced;
    }
}

} // namespace
} // namespace orvella
