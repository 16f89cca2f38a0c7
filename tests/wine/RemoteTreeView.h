#pragma once

#include "RemoteBuffer.h"

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace orvella::driver {

// A tree-view control of another process, worked as a user works it: opening items and selecting one.
class RemoteTreeView {
public:
    explicit RemoteTreeView(HWND tree);

    HTREEITEM root() const;
    // Opens the item, which fills it as a click on its button does, and gives its children.
    std::vector<HTREEITEM> open(HTREEITEM item) const;
    std::string text(HTREEITEM item) const;
    void select(HTREEITEM item) const;
    // The selected item; null when none is.
    HTREEITEM selection() const;

private:
    HWND tree_;
    RemoteBuffer memory_;
};

} // namespace orvella::driver
