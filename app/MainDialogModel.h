#pragma once

#include "app/MainDialogView.h"
#include "app/SaveList.h"
#include "app/SaveListing.h"
#include "game/GameInstallation.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"

#include <optional>
#include <string>
#include <vector>

namespace orvella {

// What the main dialog reaches beyond its own controls.
struct MainDialogServices {
    FileSystem& files;
    MessageBoxes& messages;
    const GameInstallation& installation;
    SaveListSource listSaves = readSaveListing;
};

// The main dialog's decisions. The platform's dialog procedure hands every event it handles to one of
// these calls and leaves the controls to the view. The model owns the rows of the save list and their
// SaveInfo; the list shows them in the same order.
class MainDialogModel {
public:
    MainDialogModel(MainDialogView& view, MainDialogServices services);

    // The version, the six file boxes and the first save list.
    void initialise();
    // The dialog became active, by any means.
    void onActivated() { refreshSaveList(); }
    // A row's new state includes the selected state.
    void onRowSelected(std::size_t row);
    // True for the commands the dialog handles itself.
    static bool handlesCommand(int commandId);
    // Handles a command; gives the result to end the dialog with when the command closes it.
    std::optional<int> onCommand(int commandId);
    // The dialog is being destroyed.
    void onDestroyed() { clearSaveList(); }

    // Rebuilds the list from the "Saves" folder, unless a rebuild is already running: a message box shown
    // by a rebuild re-activates the dialog when it closes, and that must not start a rebuild inside the
    // running one (nor, when the folder keeps failing, another message after every message).
    void refreshSaveList();
    void clearSaveList();

    const std::vector<SaveListRow>& rows() const { return rows_; }

private:
    std::optional<std::size_t> selectedRow();
    void updateRestoreButton(const std::string& saveFileName);
    void patchSelectedSave();
    void restoreSelectedSave();

    MainDialogView& view_;
    MainDialogServices services_;
    std::vector<SaveListRow> rows_;
    bool rebuilding_ = false;
};

} // namespace orvella
