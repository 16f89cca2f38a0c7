#include "app/VersionResource.h"

#include "records/Bytes.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace orvella {

namespace {

constexpr std::uint32_t ResourceDirectoryIndex = 2;
constexpr std::uint32_t VersionResourceType = 16;
constexpr std::uint32_t VersionInfoId = 1;
constexpr std::uint32_t FixedFileInfoSignature = 0xFEEF04BD;
constexpr std::uint32_t SubdirectoryFlag = 0x80000000;
constexpr std::size_t SectionHeaderSize = 40;
constexpr std::size_t FixedFileInfoSize = 52;
// A version block states its length in 16 bits, so it can never be longer.
constexpr std::uint32_t MaxVersionBlockSize = 0xFFFF;

std::uint16_t loadU16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

class ImageReader {
public:
    explicit ImageReader(File& file) : file_(file) {
        std::int64_t end = fileLength(file_);
        size_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
    }

    bool read(std::uint64_t offset, void* out, std::size_t count) {
        if (offset > size_ || count > size_ - offset)
            return false;
        if (count == 0)
            return true;
        return file_.seek(static_cast<std::int64_t>(offset), SeekOrigin::Begin) &&
               file_.read(out, count) == count;
    }

    // A block is at most 65535 section headers; read refuses one that the file cannot hold.
    std::optional<std::vector<std::uint8_t>> readBlock(std::uint64_t offset, std::size_t count) {
        std::vector<std::uint8_t> bytes(count);
        if (!read(offset, bytes.data(), count))
            return std::nullopt;
        return bytes;
    }

    // Reads bytes of the loaded image by their address relative to its base; they must lie wholly
    // inside the file data of one section.
    bool readMapped(std::uint64_t rva, void* out, std::size_t count) {
        for (const Section& section : sections_) {
            if (rva < section.virtualAddress)
                continue;
            std::uint64_t inside = rva - section.virtualAddress;
            if (inside < section.rawSize && count <= section.rawSize - inside)
                return read(section.rawOffset + inside, out, count);
        }
        return false;
    }

    std::vector<Section>& sections() { return sections_; }

private:
    File& file_;
    std::uint64_t size_ = 0;
    std::vector<Section> sections_;
};

// Finds the address of the resource directory and loads the section table.
std::optional<std::uint32_t> locateResources(ImageReader& image) {
    std::uint8_t dosHeader[64];
    if (!image.read(0, dosHeader, sizeof dosHeader) || dosHeader[0] != 'M' || dosHeader[1] != 'Z')
        return std::nullopt;
    std::uint64_t peOffset = loadU32(dosHeader + 0x3C);

    std::uint8_t fileHeader[24];
    if (!image.read(peOffset, fileHeader, sizeof fileHeader) || std::memcmp(fileHeader, "PE\0\0", 4) != 0)
        return std::nullopt;
    std::uint16_t sectionCount = loadU16(fileHeader + 6);
    std::uint16_t optionalSize = loadU16(fileHeader + 20);

    auto optional = image.readBlock(peOffset + sizeof fileHeader, optionalSize);
    if (!optional || optional->size() < 2)
        return std::nullopt;
    std::uint16_t magic = loadU16(optional->data());
    // 32-bit and 64-bit images place the data directories differently.
    std::size_t countOffset = magic == 0x10B ? 92 : magic == 0x20B ? 108 : 0;
    if (countOffset == 0 || optional->size() < countOffset + 4)
        return std::nullopt;
    std::uint32_t directoryCount = loadU32(optional->data() + countOffset);
    std::size_t entryOffset = countOffset + 4 + ResourceDirectoryIndex * 8;
    if (directoryCount <= ResourceDirectoryIndex || optional->size() < entryOffset + 8)
        return std::nullopt;
    std::uint32_t resourceRva = loadU32(optional->data() + entryOffset);
    if (resourceRva == 0)
        return std::nullopt;

    auto table = image.readBlock(peOffset + sizeof fileHeader + optionalSize,
                                 std::size_t{sectionCount} * SectionHeaderSize);
    if (!table)
        return std::nullopt;
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::uint8_t* header = table->data() + i * SectionHeaderSize;
        image.sections().push_back({loadU32(header + 12), loadU32(header + 16), loadU32(header + 20)});
    }
    return resourceRva;
}

// One entry of a resource directory: the matching id, or the first entry when no id is asked for.
// Gives the entry's offset word (relative to the resource base, with the subdirectory flag).
std::optional<std::uint32_t> findEntry(ImageReader& image, std::uint64_t directoryRva,
                                       std::optional<std::uint32_t> id) {
    std::uint8_t header[16];
    if (!image.readMapped(directoryRva, header, sizeof header))
        return std::nullopt;
    std::uint32_t count = std::uint32_t{loadU16(header + 12)} + loadU16(header + 14);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t entry[8];
        if (!image.readMapped(directoryRva + sizeof header + i * 8ull, entry, sizeof entry))
            return std::nullopt;
        std::uint32_t name = loadU32(entry);
        if (!id || ((name & SubdirectoryFlag) == 0 && name == *id))
            return loadU32(entry + 4);
    }
    return std::nullopt;
}

std::optional<std::uint64_t> subdirectory(std::uint32_t resourceRva, std::optional<std::uint32_t> entry) {
    if (!entry || (*entry & SubdirectoryFlag) == 0)
        return std::nullopt;
    return std::uint64_t{resourceRva} + (*entry & ~SubdirectoryFlag);
}

// The value of the block's root: after the header's three words and the NUL-terminated UTF-16 key,
// aligned to 32 bits.
std::optional<FileVersion> fixedFileInfo(const std::vector<std::uint8_t>& block) {
    std::size_t position = 6;
    for (;;) {
        if (position + 2 > block.size())
            return std::nullopt;
        bool end = loadU16(block.data() + position) == 0;
        position += 2;
        if (end)
            break;
    }
    position = (position + 3) & ~std::size_t{3};
    if (position > block.size() || block.size() - position < FixedFileInfoSize)
        return std::nullopt;
    const std::uint8_t* info = block.data() + position;
    if (loadU32(info) != FixedFileInfoSignature)
        return std::nullopt;
    std::uint32_t high = loadU32(info + 8);
    std::uint32_t low = loadU32(info + 12);
    return FileVersion{static_cast<std::uint16_t>(high >> 16), static_cast<std::uint16_t>(high),
                       static_cast<std::uint16_t>(low >> 16), static_cast<std::uint16_t>(low)};
}

} // namespace

std::optional<FileVersion> readFixedFileVersion(File& file) {
    ImageReader image(file);
    auto resourceRva = locateResources(image);
    if (!resourceRva)
        return std::nullopt;

    // Type, then name (the version block is resource 1; any other name is taken when it is missing),
    // then the first language.
    auto names = subdirectory(*resourceRva, findEntry(image, *resourceRva, VersionResourceType));
    if (!names)
        return std::nullopt;
    auto nameEntry = findEntry(image, *names, VersionInfoId);
    if (!nameEntry)
        nameEntry = findEntry(image, *names, std::nullopt);
    auto languages = subdirectory(*resourceRva, nameEntry);
    if (!languages)
        return std::nullopt;
    auto dataEntry = findEntry(image, *languages, std::nullopt);
    if (!dataEntry || (*dataEntry & SubdirectoryFlag) != 0)
        return std::nullopt;

    std::uint8_t data[16];
    if (!image.readMapped(std::uint64_t{*resourceRva} + *dataEntry, data, sizeof data))
        return std::nullopt;
    std::uint32_t blockRva = loadU32(data);
    std::uint32_t blockSize = std::min(loadU32(data + 4), MaxVersionBlockSize);
    std::vector<std::uint8_t> block(blockSize);
    if (!image.readMapped(blockRva, block.data(), block.size()))
        return std::nullopt;
    return fixedFileInfo(block);
}

} // namespace orvella
