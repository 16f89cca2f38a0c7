#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <string>
#include <vector>

namespace orvella::driver {

// Memory in the process of another program's window. Messages whose parameters point to data reach another
// process with the pointer unchanged, so the data goes through memory of the receiving process.
class RemoteBuffer {
public:
    // Throws ScenarioStopped when the window's process cannot be reached.
    RemoteBuffer(HWND window, std::size_t size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    // The address at the offset, in the other process.
    char* at(std::size_t offset = 0) const { return memory_ + offset; }
    LPARAM lParam() const { return reinterpret_cast<LPARAM>(memory_); }
    void put(const void* data, std::size_t size, std::size_t offset = 0) const;
    void get(void* data, std::size_t size, std::size_t offset = 0) const;

private:
    HANDLE process_ = nullptr;
    char* memory_ = nullptr;
};

// A list-view control of another process.
class RemoteListView {
public:
    explicit RemoteListView(HWND list) : list_(list), memory_(list, 4096) {}

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

// A tree-view control of another process, worked as a user works it: opening items and selecting one.
class RemoteTreeView {
public:
    explicit RemoteTreeView(HWND tree) : tree_(tree), memory_(tree, 1024 + MAX_PATH) {}

    HTREEITEM root() const { return next(TVGN_ROOT, nullptr); }
    // Opens the item, which fills it as a click on its button does, and gives its children.
    std::vector<HTREEITEM> open(HTREEITEM item) const;
    std::string text(HTREEITEM item) const;
    void select(HTREEITEM item) const;
    // The selected item; null when none is.
    HTREEITEM selection() const { return next(TVGN_CARET, nullptr); }

private:
    HTREEITEM next(UINT relation, HTREEITEM item) const;

    HWND tree_;
    RemoteBuffer memory_;
};

} // namespace orvella::driver
