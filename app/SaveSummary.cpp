#include "app/SaveSummary.h"

#include "app/DataFileProbe.h"
#include "game/UserTexts.h"
#include "records/RecordStream.h"

#include <bit>
#include <cstdio>

namespace orvella {

namespace {

// Where the summary's fields lie in the header's subrecords. The day is the float of the days passed:
// the float at GMDT offset 8 is the hour of the day.
constexpr std::size_t SaveNameOffset = 40;
constexpr std::size_t SaveNameLength = 256;
constexpr std::size_t HealthOffset = 0;
constexpr std::size_t MaxHealthOffset = 4;
constexpr std::size_t CellNameOffset = 24;
constexpr std::size_t CellNameLength = 64;
constexpr std::size_t DaysPassedOffset = 88;
constexpr std::size_t PlayerNameOffset = 92;
constexpr std::size_t PlayerNameLength = 32;

// A text field: up to its first NUL, and never past the end of its field or of the subrecord.
std::string textField(const Subrecord& subrecord, std::size_t offset, std::size_t length) {
    std::string_view text = subrecord.textAt(offset);
    return std::string(text.substr(0, length));
}

// A little-endian float; 0 when the subrecord ends before it.
float floatField(const Subrecord& subrecord, std::size_t offset) {
    if (subrecord.data.size() < offset + 4)
        return 0;
    const std::uint8_t* bytes = subrecord.data.data() + offset;
    std::uint32_t bits = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                         static_cast<std::uint32_t>(bytes[2]) << 16 |
                         static_cast<std::uint32_t>(bytes[3]) << 24;
    return std::bit_cast<float>(bits);
}

} // namespace

void clearSummary(SummaryView& view) {
    view.clearMasterList();
    view.setSummaryText({});
    view.clearPicture();
}

bool showSaveSummary(SummaryView& view, FileSystem& files, const GameInstallation& installation,
                     const std::string& saveFileName, SaveInfo& saveInfo) {
    auto file = files.open(installation.installPath + SavesFolder + saveFileName, "rb");
    if (!file)
        return false;
    RecordStream stream(*file, saveFileName);
    std::unique_ptr<Record> header = stream.valid() ? stream.readRecord() : nullptr;
    file->close();
    if (!header)
        return false;
    const Subrecord* hedr = header->findSubrecord("HEDR");
    const Subrecord* gmdt = header->findSubrecord("GMDT");
    const Subrecord* scrs = header->findSubrecord("SCRS");
    if (!hedr || !gmdt || !scrs)
        return false;

    saveInfo.saveName = textField(*hedr, SaveNameOffset, SaveNameLength);
    saveInfo.cellName = textField(*gmdt, CellNameOffset, CellNameLength);
    saveInfo.playerName = textField(*gmdt, PlayerNameOffset, PlayerNameLength);
    saveInfo.health = floatField(*gmdt, HealthOffset);
    saveInfo.maxHealth = floatField(*gmdt, MaxHealthOffset);
    saveInfo.day = floatField(*gmdt, DaysPassedOffset);

    for (const auto& subrecord : header->subrecords()) {
        if (!subrecord.tag.is("MAST"))
            continue;
        std::string name(subrecord.text());
        view.addMasterLine(probeDataFile(files, installation, name) ? name : texts::MissingMasterMark + name);
    }
    view.setPicture(pictureFromScreenshot(scrs->data));
    view.setSummaryText(summaryText(saveInfo));
    return true;
}

std::string summaryText(const SaveInfo& saveInfo) {
    auto format = [&](char* buffer, std::size_t size) {
        return std::snprintf(buffer, size, texts::SummaryFormat, saveInfo.playerName.c_str(),
                             saveInfo.saveName.c_str(), saveInfo.cellName.c_str(),
                             static_cast<double>(saveInfo.day), static_cast<double>(saveInfo.health),
                             static_cast<double>(saveInfo.maxHealth));
    };
    int length = format(nullptr, 0);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length), '\0');
    format(text.data(), text.size() + 1);
    return text;
}

} // namespace orvella
