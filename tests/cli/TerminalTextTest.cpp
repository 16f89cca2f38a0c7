#include "TerminalText.h"

#include <gtest/gtest.h>

namespace orvella::cli {
namespace {

TEST(TerminalText, DecodesWindows1252IntoUtf8) {
    EXPECT_EQ(cp1252ToUtf8("Salvato a: Balmora"), "Salvato a: Balmora");
    EXPECT_EQ(cp1252ToUtf8("sar\xE0 \xE8 pi\xF9 cos\xEC perch\xE9"),
              "sar\u00e0 \u00e8 pi\u00f9 cos\u00ec perch\u00e9");
    EXPECT_EQ(cp1252ToUtf8("\x80 \x85 \x92 \x9F"), "\u20ac \u2026 \u2019 \u0178");
    EXPECT_EQ(cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\ufffd\ufffd\ufffd\ufffd\ufffd");
    EXPECT_EQ(cp1252ToUtf8("\x7F\xA0\xFF"), "\x7F\u00a0\u00ff");
    EXPECT_EQ(cp1252ToUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

// A log's line ends lose their carriage returns, and only those: a carriage return at the end of a piece of
// text is kept, whatever follows the piece.
TEST(TerminalText, DropsTheCarriageReturnsOfLineEndsOnly) {
    EXPECT_EQ(withLineFeeds("a\r\nb\r\r\n\rc\n"), "a\nb\r\n\rc\n");
    EXPECT_EQ(withLineFeeds(std::string_view("a\r\n", 2)), "a\r");
}

TEST(TerminalText, KeepsTheBytesOfFileNamesAndPaths) {
    const std::string name = "Citt\xC3\xA0.ess";
#ifdef _WIN32
    EXPECT_EQ(toTerminal("\"" + name + "\" non \xE8 valido", name), "\"" + name + "\" non \xE8 valido");
    EXPECT_EQ(pathText("C:\\Morrowind\\Saves\\" + name), "C:\\Morrowind\\Saves\\" + name);
#else
    EXPECT_EQ(toTerminal(name + " e " + name + " non \xE8 " + "Citt\xE0", name),
              name + " e " + name + " non \xC3\xA8 Citt\xC3\xA0");
    EXPECT_EQ(toTerminal("\xE8", ""), "\xC3\xA8");
    EXPECT_EQ(pathText("game\\Saves\\" + name), "game/Saves/" + name);
#endif
}

} // namespace
} // namespace orvella::cli
