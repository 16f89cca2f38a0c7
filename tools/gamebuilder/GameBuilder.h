#pragma once

#include "records/Record.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvella::build {

// Text with the terminating NUL that the game's IDs and names carry.
std::string z(std::string_view text);
std::string u32(std::uint32_t value);
std::string f32(float value);
std::string u64(std::uint64_t value);
std::string f64(double value);

// A record described subrecord by subrecord, with its size worked out when it is built.
class RecordBuilder {
public:
    explicit RecordBuilder(std::string_view tag, std::uint32_t headerWord = 0, std::uint32_t flags = 0);

    // A subrecord with exactly these bytes.
    RecordBuilder& sub(std::string_view tag, std::string_view bytes);
    // A subrecord holding the text and a terminating NUL.
    RecordBuilder& text(std::string_view tag, std::string_view value);

    std::unique_ptr<Record> build() const;
    std::string bytes() const;
    std::string_view tag() const { return tag_; }

private:
    std::string tag_;
    std::uint32_t headerWord_;
    std::uint32_t flags_;
    std::vector<std::pair<std::string, std::string>> subrecords_;
};

enum class FileKind : std::uint32_t { Plugin = 0, Master = 1, Save = 32 };

// The header record of a master, plugin or save.
struct FileHeader {
    FileKind kind = FileKind::Master;
    std::string author = "Orvella";
    std::string description;
    std::vector<std::pair<std::string, std::uint64_t>> masters; // name, byte size
    // Saves only: the game data and the screenshot.
    float health = 100;
    float maxHealth = 100;
    float hour = 9;
    float daysPassed = 1;
    std::string cellName = "Seyda Neen";
    std::string playerName = "Nerevar";
    bool screenshot = true;
};

// A whole file of the record format: the header record, then the records, with the count at offset 320.
class GameFileBuilder {
public:
    explicit GameFileBuilder(FileHeader header = {}) : header_(std::move(header)) {}

    GameFileBuilder& add(RecordBuilder record);
    FileHeader& header() { return header_; }
    std::vector<RecordBuilder>& records() { return records_; }

    RecordBuilder headerRecord() const;
    std::string bytes() const;
    // Writes the bytes to a path of the machine; false when that fails.
    bool writeTo(const std::string& path) const;

private:
    FileHeader header_;
    std::vector<RecordBuilder> records_;
};

bool writeBytes(const std::string& path, std::string_view bytes);
std::string readBytes(const std::string& path);

} // namespace orvella::build
