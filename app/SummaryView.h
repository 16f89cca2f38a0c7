#pragma once

#include "app/SummaryPicture.h"

#include <string>

namespace orvella {

// The main dialog's summary area: the summary text box, the list of the save's master files and the
// screenshot picture.
class SummaryView {
public:
    virtual ~SummaryView() = default;

    virtual void setSummaryText(const std::string& text) = 0;
    // Removes every line of the master list.
    virtual void clearMasterList() = 0;
    // Adds a line at the end of the master list.
    virtual void addMasterLine(const std::string& line) = 0;
    // Shows the picture in place of the one shown before, which is released.
    virtual void setPicture(const SummaryPicture& picture) = 0;
    // Shows an empty picture in place of the one shown before, which is released.
    virtual void clearPicture() = 0;
};

} // namespace orvella
