#include "TestFolder.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

// Writes the text through the native file system in the mode, then reads the file back whole.
std::string writtenThenRead(const std::string& path, const char* mode, const std::string& text) {
    auto file = nativeFileSystem().open(path, mode);
    EXPECT_TRUE(file) << mode;
    if (!file)
        return {};
    EXPECT_EQ(file->write(text.data(), text.size()), text.size()) << mode;
    EXPECT_TRUE(file->close()) << mode;
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(readWholeFile(nativeFileSystem(), path, bytes)) << mode;
    return std::string(bytes.begin(), bytes.end());
}

// One file class serves both platforms: text mode stores CR LF wherever it runs, binary mode every byte as it
// is, and the file's end is where its last byte was written.
TEST(StdioFile, TextModeStoresCrLfAndBinaryModeEveryByteOnEveryPlatform) {
    test::TestFolder folder;
    const std::string text = std::string("one\ntwo\n\n\r\xE8\0end", 15);
    const struct {
        const char* mode;
        std::string stored;
    } cases[] = {
        {"w", std::string("one\r\ntwo\r\n\r\n\r\xE8\0end", 18)},
        {"wb", text},
    };
    for (const auto& c : cases) {
        const std::string path = folder.path() + "\\" + c.mode + ".txt";
        EXPECT_EQ(writtenThenRead(path, c.mode, text), c.stored) << c.mode;
        auto file = nativeFileSystem().open(path, "rb");
        ASSERT_TRUE(file && file->seek(-3, SeekOrigin::End)) << c.mode;
        EXPECT_EQ(file->tell(), static_cast<std::int64_t>(c.stored.size()) - 3) << c.mode;
        char tail[4] = {};
        EXPECT_EQ(file->read(tail, 4), 3u) << c.mode;
        EXPECT_STREQ(tail, "end") << c.mode;
    }
}

} // namespace
} // namespace orvella
