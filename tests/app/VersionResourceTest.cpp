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
struct ImageSpec {
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

std::string resourceSection(const ImageSpec& spec) {
    std::string section;
    // Root: one named entry (a string-named type, skipped) and two ids, the version type last.
    put(section, 0x00, std::string(12, '\0') + u16(1) + u16(2));
    put(section, 0x10, u32(0x80000000 | 0x200) + u32(0x80000000 | 0x60));
    put(section, 0x18, u32(3) + u32(0x80000000 | 0x60));
    put(section, 0x20, u32(spec.versionType) + u32(0x80000000 | 0x30));
    // Names under the version type.
    put(section, 0x30, std::string(12, '\0') + u16(0) + u16(1));
    put(section, 0x40, u32(spec.versionName) + u32(0x80000000 | 0x48));
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
    block += u32(spec.signature) + u32(0x00010000) + u32(spec.fileVersionHigh) + u32(spec.fileVersionLow);
    block += u32(0x00010006) + u32(0) + std::string(28, '\0'); // product version, flags, system, type, date
    put(block, 0, u16(static_cast<std::uint16_t>(block.size())));

    constexpr std::uint32_t BlockOffset = 0x80;
    std::uint32_t blockRva = static_cast<std::uint32_t>(SectionRva + BlockOffset + spec.blockRvaShift);
    put(section, 0x70,
        u32(blockRva) + u32(static_cast<std::uint32_t>(block.size()) + spec.blockSizeExtra) + u32(0) +
            u32(0));
    put(section, BlockOffset, block);
    return section;
}

std::string image(const ImageSpec& spec = {}) {
    std::string section = resourceSection(spec);
    std::string bytes;
    put(bytes, 0, "MZ");
    put(bytes, 0x3C, u32(0x40));
    std::uint16_t optionalSize = spec.wide ? 240 : 224;
    put(bytes, 0x40,
        std::string("PE\0\0", 4) + u16(0x14C) + u16(1) + u32(0) + u32(0) + u32(0) + u16(optionalSize) +
            u16(0x102));
    std::size_t optional = 0x58;
    put(bytes, optional, u16(spec.wide ? 0x20B : 0x10B));
    std::size_t countOffset = optional + (spec.wide ? 108 : 92);
    put(bytes, countOffset, u32(16));
    put(bytes, countOffset + 4 + 2 * 8,
        u32(spec.resourceRva) + u32(static_cast<std::uint32_t>(section.size())));
    std::size_t sectionTable = optional + optionalSize;
    put(bytes, sectionTable,
        std::string(".rsrc\0\0\0", 8) + u32(static_cast<std::uint32_t>(section.size())) + u32(SectionRva) +
            u32(static_cast<std::uint32_t>(section.size())) + u32(SectionStart) + std::string(16, '\0'));
    put(bytes, SectionStart, section);
    return bytes;
}

std::optional<FileVersion> versionOf(std::string bytes) {
    MemoryFile file(std::move(bytes));
    return readFixedFileVersion(file);
}

TEST(VersionResourceTest, ReadsTheFixedFileVersionOfThirtyTwoAndSixtyFourBitImages) {
    for (bool wide : {false, true}) {
        auto version = versionOf(image({.wide = wide}));
        ASSERT_TRUE(version) << wide;
        EXPECT_EQ(version->major, 1);
        EXPECT_EQ(version->minor, 6);
        EXPECT_EQ(version->build, 0);
        EXPECT_EQ(version->revision, 1820);
        EXPECT_EQ(version->mostSignificant(), 0x00010006u);
    }
    auto version = versionOf(image({.fileVersionHigh = 0xABCD1234, .fileVersionLow = 0x56789EF0}));
    ASSERT_TRUE(version);
    EXPECT_EQ(version->major, 0xABCD);
    EXPECT_EQ(version->minor, 0x1234);
    EXPECT_EQ(version->build, 0x5678);
    EXPECT_EQ(version->revision, 0x9EF0);
}

TEST(VersionResourceTest, EveryTruncationGivesNothing) {
    std::string whole = image();
    for (std::size_t size = 0; size < whole.size(); ++size)
        EXPECT_FALSE(versionOf(whole.substr(0, size))) << size;
}

TEST(VersionResourceTest, ImagesWithoutAVersionResourceGiveNothing) {
    EXPECT_FALSE(versionOf(image({.resourceRva = 0})));
    EXPECT_FALSE(versionOf(image({.versionType = 6})));
    EXPECT_FALSE(versionOf(image({.signature = 0x12345678})));
    EXPECT_FALSE(versionOf(image({.resourceRva = 0x5000})));
    EXPECT_FALSE(versionOf(image({.blockRvaShift = 0x10000})));
    EXPECT_FALSE(versionOf(image({.blockSizeExtra = 0x1000})));
    EXPECT_FALSE(versionOf("not an executable"));

    std::string emptyBlock = image();
    put(emptyBlock, SectionStart + 0x74, u32(0));
    EXPECT_FALSE(versionOf(emptyBlock));
}

TEST(VersionResourceTest, AVersionBlockUnderAnotherNameIsStillFound) {
    EXPECT_TRUE(versionOf(image({.versionName = 7})));
}

TEST(VersionResourceTest, HeaderFieldsPointingOutsideTheFileGiveNothing) {
    std::string badPeOffset = image();
    put(badPeOffset, 0x3C, u32(0xFFFFFFF0));
    EXPECT_FALSE(versionOf(badPeOffset));

    std::string manySections = image();
    put(manySections, 0x46, u16(0xFFFF));
    auto version = versionOf(manySections);
    EXPECT_FALSE(version);

    std::string hugeOptionalHeader = image();
    put(hugeOptionalHeader, 0x54, u16(0xFFFF));
    EXPECT_FALSE(versionOf(hugeOptionalHeader));

    std::string fewDirectories = image();
    put(fewDirectories, 0x58 + 92, u32(2));
    EXPECT_FALSE(versionOf(fewDirectories));

    // A directory that claims more entries than its section holds, none of them the version type.
    std::string longDirectory = image({.versionType = 6});
    put(longDirectory, SectionStart + 0x0E, u16(0xFFFF));
    EXPECT_FALSE(versionOf(longDirectory));

    // A subdirectory offset that wraps past the resource section.
    std::string loop = image();
    put(loop, SectionStart + 0x24, u32(0xFFFFFFFF));
    EXPECT_FALSE(versionOf(loop));
}

TEST(VersionResourceTest, AKeyRunningToTheEndOfTheBlockGivesNothing) {
    std::string bytes = image();
    // Overwrite the key's NUL and everything after it with letters, to the end of the block.
    std::size_t keyEnd = SectionStart + 0x80 + 6 + 15 * 2;
    for (std::size_t i = keyEnd; i < bytes.size(); i += 2)
        put(bytes, i, u16('A'));
    EXPECT_FALSE(versionOf(bytes));
}

} // namespace
} // namespace orvella
