#include "app/VersionResource.h"
#include "gamebuilder/GameBuilder.h"
#include "platform/MemoryFile.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::u32;

std::string u16(std::uint16_t value) {
    return std::string{static_cast<char>(value), static_cast<char>(value >> 8)};
}

void put(std::string& bytes, std::size_t offset, const std::string& value) {
    if (bytes.size() < offset + value.size())
        bytes.resize(offset + value.size(), '\0');
    bytes.replace(offset, value.size(), value);
}

// A minimal executable image: headers, then one resource section whose directory tree leads from the
// version type through name 1 and one language to a VS_VERSIONINFO block.
struct ImageLayout {
    bool wide = false; // a 64-bit image, whose data directories sit further down
    std::uint32_t fileVersionHigh = 0x00010006;
    std::uint32_t fileVersionLow = 0x0000071C;
    std::uint32_t signature = 0xFEEF04BD;
    std::uint32_t resourceRva = 0x1000;
    std::uint32_t versionType = 16;
    std::uint32_t versionName = 1;
    std::int64_t blockRvaShift = 0;
    std::uint32_t blockSizeExtra = 0;
};

constexpr std::size_t SectionStart = 0x200;
constexpr std::uint32_t SectionRva = 0x1000;

std::string resourceSection(const ImageLayout& layout) {
    std::string section;
    // Root: one named entry (a string-named type, skipped) and two ids, the version type last.
    put(section, 0x00, std::string(12, '\0') + u16(1) + u16(2));
    put(section, 0x10, u32(0x80000000 | 0x200) + u32(0x80000000 | 0x60));
    put(section, 0x18, u32(3) + u32(0x80000000 | 0x60));
    put(section, 0x20, u32(layout.versionType) + u32(0x80000000 | 0x30));
    // Names under the version type.
    put(section, 0x30, std::string(12, '\0') + u16(0) + u16(1));
    put(section, 0x40, u32(layout.versionName) + u32(0x80000000 | 0x48));
    // Languages under the name.
    put(section, 0x48, std::string(12, '\0') + u16(0) + u16(1));
    put(section, 0x58, u32(0x409) + u32(0x70));
    // An empty directory for the other type.
    put(section, 0x60, std::string(16, '\0'));

    std::string key;
    for (char c : std::string("VS_VERSION_INFO"))
        key += u16(static_cast<std::uint8_t>(c));
    key += u16(0);
    std::string block = u16(0) + u16(52) + u16(0) + key; // 38 bytes, aligned to 40 below
    block += u16(0);
    block +=
        u32(layout.signature) + u32(0x00010000) + u32(layout.fileVersionHigh) + u32(layout.fileVersionLow);
    block += u32(0x00010006) + u32(0) + std::string(28, '\0'); // product version, flags, system, type, date
    put(block, 0, u16(static_cast<std::uint16_t>(block.size())));

    constexpr std::uint32_t BlockOffset = 0x80;
    std::uint32_t blockRva = static_cast<std::uint32_t>(SectionRva + BlockOffset + layout.blockRvaShift);
    put(section, 0x70,
        u32(blockRva) + u32(static_cast<std::uint32_t>(block.size()) + layout.blockSizeExtra) + u32(0) +
            u32(0));
    put(section, BlockOffset, block);
    return section;
}

std::string image(const ImageLayout& layout = {}) {
    std::string section = resourceSection(layout);
    std::string bytes;
    put(bytes, 0, "MZ");
    put(bytes, 0x3C, u32(0x40));
    std::uint16_t optionalSize = layout.wide ? 240 : 224;
    put(bytes, 0x40,
        std::string("PE\0\0", 4) + u16(0x14C) + u16(1) + u32(0) + u32(0) + u32(0) + u16(optionalSize) +
            u16(0x102));
    std::size_t optional = 0x58;
    put(bytes, optional, u16(layout.wide ? 0x20B : 0x10B));
    std::size_t countOffset = optional + (layout.wide ? 108 : 92);
    put(bytes, countOffset, u32(16));
    put(bytes, countOffset + 4 + 2 * 8,
        u32(layout.resourceRva) + u32(static_cast<std::uint32_t>(section.size())));
    std::size_t sectionTable = optional + optionalSize;
    put(bytes, sectionTable,
        std::string(".rsrc\0\0\0", 8) + u32(static_cast<std::uint32_t>(section.size())) + u32(SectionRva) +
            u32(static_cast<std::uint32_t>(section.size())) + u32(SectionStart) + std::string(16, '\0'));
    put(bytes, SectionStart, section);
    return bytes;
}

// The version as "major.minor.build.revision", or "none".
std::string versionOf(std::string bytes) {
    MemoryFile file(std::move(bytes));
    auto version = readFixedFileVersion(file);
    return version ? std::to_string(version->major) + "." + std::to_string(version->minor) + "." +
                         std::to_string(version->build) + "." + std::to_string(version->revision)
                   : "none";
}

std::string with(std::string bytes, std::size_t offset, const std::string& value) {
    put(bytes, offset, value);
    return bytes;
}

TEST(VersionResourceTest, ReadsTheFixedFileVersionOfThirtyTwoAndSixtyFourBitImages) {
    EXPECT_EQ(versionOf(image()), "1.6.0.1820");
    EXPECT_EQ(versionOf(image({.wide = true})), "1.6.0.1820");
    EXPECT_EQ(versionOf(image({.fileVersionHigh = 0xABCD1234, .fileVersionLow = 0x56789EF0})),
              "43981.4660.22136.40688");
    // A version block under another name is still found.
    EXPECT_EQ(versionOf(image({.versionName = 7})), "1.6.0.1820");
}

TEST(VersionResourceTest,
     ImagesWithoutAVersionResourceCutShortOrWithFieldsPointingOutsideTheFileGiveNothing) {
    std::string keyToTheEnd = image();
    // The key's NUL and everything after it overwritten with letters, to the end of the block.
    for (std::size_t i = SectionStart + 0x80 + 6 + 15 * 2; i < keyToTheEnd.size(); i += 2)
        put(keyToTheEnd, i, u16('A'));
    const std::pair<const char*, std::string> images[] = {
        {"no resources", image({.resourceRva = 0})},
        {"no version type", image({.versionType = 6})},
        {"wrong signature", image({.signature = 0x12345678})},
        {"resources outside every section", image({.resourceRva = 0x5000})},
        {"block outside every section", image({.blockRvaShift = 0x10000})},
        {"block longer than its section", image({.blockSizeExtra = 0x1000})},
        {"not an executable", "not an executable"},
        {"empty block", with(image(), SectionStart + 0x74, u32(0))},
        {"block too short for its fixed file info", with(image(), SectionStart + 0x74, u32(60))},
        {"PE header offset past the end", with(image(), 0x3C, u32(0xFFFFFFF0))},
        {"too many sections", with(image(), 0x46, u16(0xFFFF))},
        {"huge optional header", with(image(), 0x54, u16(0xFFFF))},
        {"too few data directories", with(image(), 0x58 + 92, u32(2))},
        // A directory that claims more entries than its section holds, none of them the version type.
        {"long directory", with(image({.versionType = 6}), SectionStart + 0x0E, u16(0xFFFF))},
        // The version type stands right after the entries the directory counts.
        {"version type past the count", with(image(), SectionStart + 0x0E, u16(1))},
        {"subdirectory offset wrapping past the section",
         with(image(), SectionStart + 0x24, u32(0xFFFFFFFF))},
        {"key running to the end of the block", keyToTheEnd},
    };
    for (const auto& [what, bytes] : images)
        EXPECT_EQ(versionOf(bytes), "none") << what;
    const std::string whole = image();
    for (std::size_t size = 0; size < whole.size(); ++size)
        EXPECT_EQ(versionOf(whole.substr(0, size)), "none") << "cut at " << size;
}

} // namespace
} // namespace orvella
