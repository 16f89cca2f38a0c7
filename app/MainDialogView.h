#pragma once

#include "app/SaveList.h"
#include "app/SummaryView.h"
#include "job/PatchRequest.h"
#include "platform/MessageBoxes.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace orvella {

// The main dialog's controls as its logic sees them; controls are addressed by their ids
// (app/resource.h). The save list shows the model's rows in their order, so a row's index in
// the list is its index among the model's rows.
class MainDialogView : public SummaryView {
public:
    // The dialog as the owner of the message boxes it shows.
    virtual WindowRef window() = 0;
    virtual void setControlText(int controlId, const std::string& text) = 0;
    virtual void enableControl(int controlId, bool enabled) = 0;
    // Removes every row of the save list.
    virtual void clearSaveRows() = 0;
    // Fills the empty save list with these rows, top row first: the icon of row.saveInfo.direction, "T",
    // "B" and the file name.
    virtual void showSaveRows(const std::vector<SaveListRow>& rows) = 0;
    // The list's selection mark, the row selected last; nothing when there is none.
    virtual std::optional<std::size_t> selectionMark() = 0;
    // Runs the progress dialog modally over the main dialog for the request; gives its result.
    virtual int runProgressDialog(const PatchRequest& request) = 0;
};

} // namespace orvella
