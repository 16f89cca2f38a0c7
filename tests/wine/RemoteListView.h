#pragma once

#include "RemoteBuffer.h"

#include <windows.h>

#include <string>

namespace orvella::driver {

// A list-view control of another process. Its messages carry pointers, so each one goes through a buffer in
// the list's own process.
class RemoteListView {
public:
    explicit RemoteListView(HWND list);

    int count() const;
    std::string text(int item, int column) const;
    int image(int item) const;
    // The row whose column 3 holds the file name; -1 when no row does.
    int find(const std::string& fileName) const;
    // Selects and focuses the row and makes it the selection mark, as a click on it does.
    void select(int item) const;

private:
    HWND list_;
    RemoteBuffer memory_;
};

} // namespace orvella::driver
