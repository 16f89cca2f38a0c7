#include "RemoteControls.h"

#include "DriverWindows.h"

namespace orvella::driver {
namespace {

// Where a control's text goes in the buffer, after the structure that asks for it.
constexpr std::size_t TextOffset = 1024;

} // namespace

RemoteBuffer::RemoteBuffer(HWND window, std::size_t size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process_)
        memory_ = static_cast<char*>(
            VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!memory_) {
        if (process_)
            CloseHandle(process_);
        throw ScenarioStopped{"cannot reach the process of another program's window"};
    }
}

RemoteBuffer::~RemoteBuffer() {
    VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    CloseHandle(process_);
}

void RemoteBuffer::put(const void* data, std::size_t size, std::size_t offset) const {
    WriteProcessMemory(process_, at(offset), data, size, nullptr);
}

void RemoteBuffer::get(void* data, std::size_t size, std::size_t offset) const {
    ReadProcessMemory(process_, at(offset), data, size, nullptr);
}

int RemoteListView::count() const {
    return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

std::string RemoteListView::text(int item, int column) const {
    LVITEMA cell{};
    cell.iSubItem = column;
    cell.pszText = memory_.at(TextOffset);
    cell.cchTextMax = 4096 - TextOffset;
    memory_.put(&cell, sizeof cell);
    auto length = static_cast<std::size_t>(SendMessageA(list_, LVM_GETITEMTEXTA, item, memory_.lParam()));
    std::string text(length, '\0');
    memory_.get(text.data(), length, TextOffset);
    return text;
}

int RemoteListView::image(int item) const {
    LVITEMA cell{};
    cell.mask = LVIF_IMAGE;
    cell.iItem = item;
    memory_.put(&cell, sizeof cell);
    if (!SendMessageA(list_, LVM_GETITEMA, 0, memory_.lParam()))
        return -1;
    memory_.get(&cell, sizeof cell);
    return cell.iImage;
}

int RemoteListView::find(const std::string& fileName) const {
    for (int item = 0; item < count(); ++item)
        if (text(item, 3) == fileName)
            return item;
    return -1;
}

void RemoteListView::select(int item) const {
    SendMessageA(list_, LVM_SETSELECTIONMARK, 0, item);
    LVITEMA state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    memory_.put(&state, sizeof state);
    SendMessageA(list_, LVM_SETITEMSTATE, item, memory_.lParam());
}

HTREEITEM RemoteTreeView::next(UINT relation, HTREEITEM item) const {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree_, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

std::vector<HTREEITEM> RemoteTreeView::open(HTREEITEM item) const {
    SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    std::vector<HTREEITEM> children;
    for (HTREEITEM child = next(TVGN_CHILD, item); child; child = next(TVGN_NEXT, child))
        children.push_back(child);
    return children;
}

std::string RemoteTreeView::text(HTREEITEM item) const {
    TVITEMA fields{};
    fields.mask = TVIF_TEXT;
    fields.hItem = item;
    fields.pszText = memory_.at(TextOffset);
    fields.cchTextMax = MAX_PATH;
    memory_.put(&fields, sizeof fields);
    if (!item || !SendMessageA(tree_, TVM_GETITEMA, 0, memory_.lParam()))
        return {};
    char text[MAX_PATH + 1] = {};
    memory_.get(text, MAX_PATH, TextOffset);
    return text;
}

void RemoteTreeView::select(HTREEITEM item) const {
    SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

} // namespace orvella::driver
