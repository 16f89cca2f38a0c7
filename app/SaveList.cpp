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
        rows.push_back(SaveListRow{entry.name, *info});
    }
    std::reverse(rows.begin(), rows.end());
    return rows;
}

} // namespace orvella
