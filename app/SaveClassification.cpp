#include "app/SaveClassification.h"

#include "records/RecordStream.h"

#include <cstring>

namespace orvella {

namespace {

constexpr std::string_view SaveExtension = ".ess";
constexpr std::uint8_t SaveFileType = 32;

bool hasSaveExtension(const std::string& name) {
    return name.size() >= SaveExtension.size() &&
           name.compare(name.size() - SaveExtension.size(), SaveExtension.size(), SaveExtension) == 0;
}

// Only the low byte of the header's file type tells a save: real saves carry other bits above it.
bool isSaveHeader(const Record& header) {
    const Subrecord* hedr = header.findSubrecord("HEDR");
    return hedr && hedr->data.size() > 4 && hedr->data[4] == SaveFileType;
}

void noteMaster(SaveInfo& info, bool& betaSeen, std::string_view name,
                const std::string& tribunalPluginName) {
    if (name == MorrowindMasterName)
        info.usesMorrowindMaster = true;
    else if (name == TribunalMasterName)
        info.usesTribunalMaster = true;
    else if (name == BloodmoonMasterName)
        info.usesBloodmoonMaster = true;
    else if (name == MorrowindPluginName)
        info.usesMorrowindPlugin = true;
    else if (name == tribunalPluginName)
        info.usesTribunalPlugin = true;
    else if (name == BloodmoonPluginName)
        info.usesBloodmoonPlugin = true;
    else if (name == BetaPluginName)
        betaSeen = true;
}

} // namespace

std::optional<SaveInfo> classifySave(FileSystem& files, const GameInstallation& installation,
                                     const std::string& fileName) {
    if (!hasSaveExtension(fileName))
        return std::nullopt;
    auto file = files.open(installation.installPath + SavesFolder + fileName, "rb");
    if (!file)
        return std::nullopt;
    char tag[4];
    if (file->read(tag, sizeof tag) != sizeof tag || std::memcmp(tag, "TES3", 4) != 0 ||
        !file->seek(0, SeekOrigin::Begin))
        return std::nullopt;
    RecordStream stream(*file, fileName);
    std::unique_ptr<Record> header = stream.readRecord();
    if (!header || !isSaveHeader(*header))
        return std::nullopt;

    SaveInfo info;
    bool betaSeen = false;
    for (const auto& subrecord : header->subrecords())
        if (subrecord->tag.is("MAST"))
            // The name ends at its NUL or, without one, at the end of the subrecord.
            noteMaster(info, betaSeen, subrecord->text(), installation.tribunalPluginName);
    if (betaSeen)
        info.direction = BetaUnsupported;
    else if (info.usesMorrowindPlugin || info.usesTribunalPlugin || info.usesBloodmoonPlugin)
        info.direction = ItalianToEnglish;
    else
        info.direction = EnglishToItalian;
    return info;
}

} // namespace orvella
