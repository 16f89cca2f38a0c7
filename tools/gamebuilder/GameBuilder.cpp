#include "GameBuilder.h"

#include "records/RecordWriter.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace orvella::build {

std::string z(std::string_view text) {
    return std::string(text) + '\0';
}

std::string u32(std::uint32_t value) {
    char bytes[4] = {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
                     static_cast<char>(value >> 24)};
    return std::string(bytes, 4);
}

std::string f32(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return u32(bits);
}

std::string u64(std::uint64_t value) {
    return u32(static_cast<std::uint32_t>(value)) + u32(static_cast<std::uint32_t>(value >> 32));
}

std::string f64(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, 8);
    return u64(bits);
}

RecordBuilder::RecordBuilder(std::string_view tag, std::uint32_t headerWord, std::uint32_t flags)
    : tag_(tag), headerWord_(headerWord), flags_(flags) {}

RecordBuilder& RecordBuilder::sub(std::string_view tag, std::string_view bytes) {
    subrecords_.emplace_back(std::string(tag), std::string(bytes));
    return *this;
}

RecordBuilder& RecordBuilder::text(std::string_view tag, std::string_view value) {
    return sub(tag, z(value));
}

std::unique_ptr<Record> RecordBuilder::build() const {
    auto record = std::make_unique<Record>(Tag(tag_), 0, headerWord_, flags_);
    for (const auto& [tag, bytes] : subrecords_)
        record->appendSubrecord(Subrecord(tag, bytes.data(), static_cast<std::uint32_t>(bytes.size())));
    return record;
}

std::string RecordBuilder::bytes() const {
    std::vector<std::uint8_t> out;
    serializeRecord(*build(), out);
    return std::string(out.begin(), out.end());
}

GameFileBuilder& GameFileBuilder::add(RecordBuilder record) {
    records_.push_back(std::move(record));
    return *this;
}

RecordBuilder GameFileBuilder::headerRecord() const {
    std::string hedr = f32(1.3f) + u32(static_cast<std::uint32_t>(header_.kind));
    std::string author = header_.author.substr(0, 31);
    author.resize(32, '\0');
    std::string description = header_.description.substr(0, 255);
    description.resize(256, '\0');
    hedr += author + description + u32(static_cast<std::uint32_t>(records_.size()));

    RecordBuilder record("TES3");
    record.sub("HEDR", hedr);
    for (const auto& [name, size] : header_.masters) {
        record.text("MAST", name);
        record.sub("DATA",
                   u32(static_cast<std::uint32_t>(size)) + u32(static_cast<std::uint32_t>(size >> 32)));
    }
    if (header_.kind == FileKind::Save) {
        std::string gmdt = f32(header_.health) + f32(header_.maxHealth) + f32(header_.hour);
        gmdt += std::string(12, '\0');
        std::string cell = header_.cellName.substr(0, 63);
        cell.resize(64, '\0');
        gmdt += cell + f32(header_.daysPassed);
        std::string player = header_.playerName.substr(0, 31);
        player.resize(32, '\0');
        gmdt += player;
        record.sub("GMDT", gmdt);
        record.sub("SCRD", std::string(20, '\0'));
        if (header_.screenshot) {
            std::string pixels(65536, '\0');
            for (std::size_t i = 0; i < pixels.size(); i += 4) {
                std::size_t row = i / 512;
                pixels[i] = static_cast<char>(row * 2);           // blue rises downwards
                pixels[i + 2] = static_cast<char>(255 - row * 2); // red fades
            }
            record.sub("SCRS", pixels);
        }
    }
    return record;
}

std::string GameFileBuilder::bytes() const {
    std::string out = headerRecord().bytes();
    for (const auto& record : records_)
        out += record.bytes();
    return out;
}

bool GameFileBuilder::writeTo(const std::string& path) const {
    return writeBytes(path, bytes());
}

bool writeBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace orvella::build
