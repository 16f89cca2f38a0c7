#include "app/SaveClassification.h"

#include "game/AsciiFold.h"
#include "game/SavePaths.h"
#include "records/Bytes.h"
#include "records/RecordStream.h"

#include <algorithm>
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

// An OpenMW save begins with its format's version; its SAVE record follows the header.
bool isOpenMwSaveHeader(const Record& header, RecordStream& stream, SaveInfo& info) {
    const Subrecord* form = header.subrecordCount() > 0 ? &header.subrecordAt(0) : nullptr;
    if (!form || !form->tag.is("FORM") || form->size() != 4 || !header.findSubrecord("HEDR"))
        return false;
    info.formatVersion = loadU32(form->data.data());
    Tag next;
    return stream.peekTag(next) && next.is("SAVE");
}

// Marks the master or translation plugin that the name gives, or notes the open beta's plugin. OpenMW
// compares file names without regard to ASCII case.
void noteMaster(SaveInfo& info, bool& betaSeen, std::string_view name, const GameInstallation& installation) {
    const bool ess = installation.saveKind == SaveKind::Ess;
    auto same = [ess](std::string_view a, std::string_view b) {
        return ess ? a == b : compareFolded(a, b) == 0;
    };
    for (Game game : AllGames)
        if (same(name, masterFileName(game))) {
            info.used(game).master = true;
            return;
        }
    for (Game game : AllGames)
        if (same(name, installation.installed(game).pluginName)) {
            info.used(game).plugin = true;
            return;
        }
    if (same(name, BetaPluginName))
        betaSeen = true;
}

} // namespace

std::optional<SaveInfo> classifySave(FileSystem& files, const GameInstallation& installation,
                                     const std::string& fileName) {
    const bool ess = installation.saveKind == SaveKind::Ess;
    // OpenMW reads a save whatever its name.
    if (ess && !hasSaveExtension(fileName))
        return std::nullopt;
    auto file = files.open(SavePaths(installation, fileName).save, "rb");
    if (!file)
        return std::nullopt;
    char tag[4];
    if (file->read(tag, sizeof tag) != sizeof tag || std::memcmp(tag, "TES3", 4) != 0 ||
        !file->seek(0, SeekOrigin::Begin))
        return std::nullopt;
    RecordStream stream(*file, fileName);
    std::unique_ptr<Record> header = stream.readRecord();
    SaveInfo info;
    if (!header || !(ess ? isSaveHeader(*header) : isOpenMwSaveHeader(*header, stream, info)))
        return std::nullopt;

    bool betaSeen = false;
    for (const auto& subrecord : header->subrecords())
        if (subrecord.tag.is("MAST"))
            // The name ends at its NUL or, without one, at the end of the subrecord.
            noteMaster(info, betaSeen, subrecord.text(), installation);
    if (betaSeen)
        info.direction = BetaUnsupported;
    else if (std::any_of(info.games.begin(), info.games.end(),
                         [](const UsedGame& game) { return game.plugin; }))
        info.direction = ItalianToEnglish;
    else
        info.direction = EnglishToItalian;
    return info;
}

} // namespace orvella
