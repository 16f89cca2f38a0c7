#include "app/SaveList.h"

#include "app/SaveClassification.h"

#include <algorithm>

namespace orvella {

std::vector<SaveListRow> buildSaveList(FileSystem& files, const GameInstallation& installation,
                                       bool* interrupted) {
    std::vector<FolderEntry> entries;
    std::vector<SaveListRow> rows;
    bool brokenOff = false;
    bool listed = files.listFolderChecked(installation.installPath + SavesFolder, entries, brokenOff);
    if (interrupted)
        *interrupted = listed && brokenOff;
    if (!listed)
        return rows;
    for (const FolderEntry& entry : entries) {
        if (entry.isFolder)
            continue;
        auto info = classifySave(files, installation, entry.name);
        if (!info)
            continue;
        bool italian = info->direction == ItalianToEnglish;
        SaveListRow row{entry.name, *info};
        row.tribunalMark = italian ? info->usesTribunalPlugin : info->usesTribunalMaster;
        row.bloodmoonMark = italian ? info->usesBloodmoonPlugin : info->usesBloodmoonMaster;
        rows.push_back(std::move(row));
    }
    std::reverse(rows.begin(), rows.end());
    return rows;
}

} // namespace orvella
