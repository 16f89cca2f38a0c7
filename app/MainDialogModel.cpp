#include "app/MainDialogModel.h"

#include "app/ConversionChecks.h"
#include "app/RestoreFromBackup.h"
#include "app/SaveClassification.h"
#include "app/SaveSummary.h"
#include "app/resource.h"
#include "game/SavePaths.h"
#include "game/UserTexts.h"

#include <cstdio>
#include <set>

namespace orvella {

namespace {

// Sets a flag for the length of a scope, also when the scope is left by an exception.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

std::string versionText(const GameVersion& version) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d.%d%d", version.major, version.minor, version.build,
                  version.revision);
    return text;
}

// A listing that went on after a failed read may give an entry again; the entry keeps the place of its
// first listing (the rows run in the reverse of the listing order, so that is the lowest of its rows).
std::vector<SaveListRow> withoutRepeats(std::vector<SaveListRow> rows) {
    std::set<std::string> seen;
    std::vector<SaveListRow> kept;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        if (seen.insert(row->fileName).second)
            kept.insert(kept.begin(), std::move(*row));
    return kept;
}

} // namespace

MainDialogModel::MainDialogModel(MainDialogView& view, MainDialogServices services)
    : view_(view), services_(std::move(services)) {}

void MainDialogModel::initialise() {
    const GameInstallation& installation = services_.installation;
    view_.setControlText(IDC_GAME_VERSION, versionText(installation.gameVersion));
    constexpr std::array<int, GameCount> masterBoxes = {IDC_MORROWIND_MASTER, IDC_TRIBUNAL_MASTER,
                                                        IDC_BLOODMOON_MASTER};
    constexpr std::array<int, GameCount> pluginBoxes = {IDC_MORROWIND_PLUGIN, IDC_TRIBUNAL_PLUGIN,
                                                        IDC_BLOODMOON_PLUGIN};
    for (Game game : AllGames)
        view_.setControlText(masterBoxes[indexOf(game)], installation.installed(game).hasMaster
                                                             ? masterFileName(game)
                                                             : texts::MissingMasterText);
    for (Game game : AllGames) {
        const InstalledGame& installed = installation.installed(game);
        view_.setControlText(pluginBoxes[indexOf(game)],
                             installed.hasPlugin ? installed.pluginName : texts::MissingPluginText);
    }
    refreshSaveList();
}

void MainDialogModel::refreshSaveList() {
    if (rebuilding_)
        return;
    FlagScope rebuilding(rebuilding_);
    clearSaveList();
    SaveListing listing = services_.listSaves(services_.files, services_.installation);
    rows_ = withoutRepeats(std::move(listing.rows));
    view_.showSaveRows(rows_);
    if (listing.readFailed)
        services_.messages.show(Message{texts::SaveFolderReadFailed, texts::ErrorCaption,
                                        MessageIcon::Warning, MessageButtons::Ok, nullptr});
    // The summary keeps showing the last selected save; only the buttons wait for a new selection.
    view_.setControlText(IDC_PATCH, texts::PatchButtonIdleText);
    view_.enableControl(IDC_PATCH, false);
    view_.enableControl(IDC_RESTORE, false);
}

void MainDialogModel::clearSaveList() {
    view_.clearSaveRows();
    rows_.clear();
}

void MainDialogModel::onRowSelected(std::size_t row) {
    if (row >= rows_.size())
        return;
    SaveListRow& selected = rows_[row];
    clearSummary(view_);
    showSaveSummary(view_, services_.files, services_.installation, selected.fileName, selected.saveInfo);
    updateRestoreButton(selected.fileName);
    ConversionDirection direction = selected.saveInfo.direction;
    view_.setControlText(IDC_PATCH, texts::patchButtonText(direction));
    view_.enableControl(IDC_PATCH, direction != BetaUnsupported);
}

bool MainDialogModel::handlesCommand(int commandId) {
    return commandId == IDOK || commandId == IDCANCEL || commandId == IDC_PATCH || commandId == IDC_RESTORE;
}

std::optional<int> MainDialogModel::onCommand(int commandId) {
    switch (commandId) {
    case IDOK:
    case IDCANCEL:
        return commandId;
    case IDC_PATCH:
        patchSelectedSave();
        break;
    case IDC_RESTORE:
        restoreSelectedSave();
        break;
    default:
        break;
    }
    return std::nullopt;
}

std::optional<std::size_t> MainDialogModel::selectedRow() {
    std::optional<std::size_t> mark = view_.selectionMark();
    if (!mark || *mark >= rows_.size())
        return std::nullopt;
    return mark;
}

void MainDialogModel::updateRestoreButton(const std::string& saveFileName) {
    auto backup = services_.files.open(SavePaths(services_.installation, saveFileName).backup, "rb");
    view_.enableControl(IDC_RESTORE, backup != nullptr);
    if (backup)
        backup->close();
}

// Works only on the copies it takes before any message: a message box re-activates the dialog when it
// closes, and the rebuild that follows replaces every row.
void MainDialogModel::patchSelectedSave() {
    std::optional<std::size_t> row = selectedRow();
    if (!row)
        return;
    const PatchRequest request{rows_[*row].fileName, rows_[*row].saveInfo, classifySave};
    // The button is disabled for these saves; a conversion must never start for one all the same.
    if (request.saveInfo.direction == BetaUnsupported)
        return;
    if (!checkConversionPrerequisites(view_.window(), request.saveInfo, services_.installation,
                                      services_.messages))
        return;
    view_.runProgressDialog(request);
    refreshSaveList();
}

// Like the patch, it keeps only the file name it copied before the question.
void MainDialogModel::restoreSelectedSave() {
    std::optional<std::size_t> row = selectedRow();
    if (!row)
        return;
    const std::string saveFileName = rows_[*row].fileName;
    restoreFromBackup(services_.installation, saveFileName, services_.files, services_.messages,
                      view_.window());
    refreshSaveList();
}

} // namespace orvella
