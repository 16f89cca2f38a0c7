#pragma once

#include "DriverWindows.h"

#include <commctrl.h>

#include <cstddef>
#include <string>
#include <vector>

namespace orvella::driver {

// A control of another process, with memory in that process: messages whose parameters point to data reach
// another process with the pointer unchanged, so the data goes through memory of the receiving process.
class RemoteControl {
public:
    // Where a control's text goes in the memory, after the structure that asks for it.
    static constexpr std::size_t TextOffset = 1024, Size = 4096;

    // Stops the scenario when the control's process cannot be reached.
    explicit RemoteControl(HWND control) : control_(control) {
        DWORD processId = 0;
        GetWindowThreadProcessId(control, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_)
            memory_ = static_cast<char*>(
                VirtualAllocEx(process_, nullptr, Size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!memory_) {
            if (process_)
                CloseHandle(process_);
            throw ScenarioStopped{"cannot reach the process of another program's window"};
        }
    }
    ~RemoteControl() {
        VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    RemoteControl(const RemoteControl&) = delete;
    RemoteControl& operator=(const RemoteControl&) = delete;

protected:
    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam = 0) const {
        return SendMessageA(control_, message, wParam, lParam);
    }
    // Sends the message with the structure copied into the other process, and copies it back.
    template <typename Structure> LRESULT sendWith(UINT message, WPARAM wParam, Structure& structure) const {
        WriteProcessMemory(process_, memory_, &structure, sizeof structure, nullptr);
        const LRESULT result = send(message, wParam, reinterpret_cast<LPARAM>(memory_));
        ReadProcessMemory(process_, memory_, &structure, sizeof structure, nullptr);
        return result;
    }
    char* remoteText() const { return memory_ + TextOffset; }
    std::string text(std::size_t length) const {
        std::string text(length, '\0');
        ReadProcessMemory(process_, remoteText(), text.data(), length, nullptr);
        return text;
    }

private:
    HWND control_;
    HANDLE process_ = nullptr;
    char* memory_ = nullptr;
};

// A list-view control of another process.
class RemoteListView : RemoteControl {
public:
    using RemoteControl::RemoteControl;

    int count() const { return static_cast<int>(send(LVM_GETITEMCOUNT, 0)); }
    std::string text(int item, int column) const {
        LVITEMA cell{.iSubItem = column, .pszText = remoteText(), .cchTextMax = Size - TextOffset};
        return RemoteControl::text(static_cast<std::size_t>(sendWith(LVM_GETITEMTEXTA, item, cell)));
    }
    int image(int item) const {
        LVITEMA cell{.mask = LVIF_IMAGE, .iItem = item};
        return sendWith(LVM_GETITEMA, 0, cell) ? cell.iImage : -1;
    }
    // The row whose column 3 holds the file name; -1 when no row does.
    int find(const std::string& fileName) const {
        for (int item = 0; item < count(); ++item)
            if (text(item, 3) == fileName)
                return item;
        return -1;
    }
    // Selects and focuses the row and makes it the selection mark, as a click on it does.
    void select(int item) const {
        send(LVM_SETSELECTIONMARK, 0, item);
        LVITEMA state{.state = LVIS_SELECTED | LVIS_FOCUSED, .stateMask = LVIS_SELECTED | LVIS_FOCUSED};
        sendWith(LVM_SETITEMSTATE, item, state);
    }
};

// A tree-view control of another process, worked as a user works it: opening items and selecting one.
class RemoteTreeView : RemoteControl {
public:
    using RemoteControl::RemoteControl;

    HTREEITEM root() const { return next(TVGN_ROOT, nullptr); }
    // Opens the item, which fills it as a click on its button does, and gives its children.
    std::vector<HTREEITEM> open(HTREEITEM item) const {
        send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        std::vector<HTREEITEM> children;
        for (HTREEITEM child = next(TVGN_CHILD, item); child; child = next(TVGN_NEXT, child))
            children.push_back(child);
        return children;
    }
    std::string text(HTREEITEM item) const {
        TVITEMA fields{.mask = TVIF_TEXT, .hItem = item, .pszText = remoteText(), .cchTextMax = MAX_PATH};
        if (!item || !sendWith(TVM_GETITEMA, 0, fields))
            return {};
        const std::string text = RemoteControl::text(MAX_PATH);
        return text.substr(0, text.find('\0'));
    }
    void select(HTREEITEM item) const { send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)); }
    // The selected item; null when none is.
    HTREEITEM selection() const { return next(TVGN_CARET, nullptr); }

private:
    HTREEITEM next(UINT relation, HTREEITEM item) const {
        return reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
};

} // namespace orvella::driver
