#include "app/OpenMwSaveSummary.h"

#include "app/DataFileProbe.h"
#include "game/SavePaths.h"
#include "game/UserTexts.h"
#include "records/Bytes.h"
#include "records/RecordStream.h"
#include "records/SaveId.h"

namespace orvella {

std::optional<OpenMwSaveSummary>
readOpenMwSaveSummary(FileSystem& files, const GameInstallation& installation, const std::string& saveName) {
    auto file = files.open(SavePaths(installation, saveName).save, "rb");
    if (!file)
        return std::nullopt;
    RecordStream stream(*file, saveName);
    std::unique_ptr<Record> header = stream.readRecord();
    std::unique_ptr<Record> save = header ? stream.readRecord() : nullptr;
    const Subrecord* form = header ? header->findSubrecord("FORM") : nullptr;
    if (!save || !save->tag().is("SAVE") || !form || form->size() != 4)
        return std::nullopt;
    OpenMwSaveSummary summary;
    const std::uint32_t formatVersion = loadU32(form->data.data());
    for (const Subrecord& subrecord : save->subrecords()) {
        if (subrecord.tag.is("PLNA"))
            summary.playerName = subrecord.text();
        else if (subrecord.tag.is("PLLE") && subrecord.size() == 4)
            summary.level = loadI32(subrecord.data.data());
        else if (subrecord.tag.is("DESC"))
            summary.description = subrecord.text();
        else if (subrecord.tag.is("DEPE"))
            summary.contentFiles.push_back((probeDataFile(files, installation, std::string(subrecord.text()))
                                                ? ""
                                                : texts::MissingMasterMark) +
                                           std::string(subrecord.text()));
        // One format wrote the place typed, as an id.
        else if (subrecord.tag.is("PLCE"))
            if (auto place = readSaveId({subrecord.data.data(), subrecord.size()}, formatVersion, false);
                place && place->isText)
                summary.cellName = place->text;
    }
    return summary;
}

} // namespace orvella
