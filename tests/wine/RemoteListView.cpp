#include "RemoteListView.h"

#include "DriverWindows.h"

#include <commctrl.h>

namespace orvella::driver {
namespace {

constexpr std::size_t BufferSize = 4096;
constexpr std::size_t TextOffset = 1024;

} // namespace

RemoteListView::RemoteListView(HWND list) : list_(list) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process_)
        memory_ = static_cast<char*>(
            VirtualAllocEx(process_, nullptr, BufferSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!memory_)
        throw ScenarioStopped{"cannot reach the save list's process"};
}

RemoteListView::~RemoteListView() {
    VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    CloseHandle(process_);
}

void RemoteListView::put(const void* data, std::size_t size, std::size_t offset) const {
    WriteProcessMemory(process_, memory_ + offset, data, size, nullptr);
}

void RemoteListView::get(void* data, std::size_t size, std::size_t offset) const {
    ReadProcessMemory(process_, memory_ + offset, data, size, nullptr);
}

int RemoteListView::count() const {
    return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

std::string RemoteListView::text(int item, int column) const {
    LVITEMA cell{};
    cell.iSubItem = column;
    cell.pszText = memory_ + TextOffset;
    cell.cchTextMax = static_cast<int>(BufferSize - TextOffset);
    put(&cell, sizeof cell);
    auto length = static_cast<std::size_t>(
        SendMessageA(list_, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(memory_)));
    std::string text(length, '\0');
    get(text.data(), length, TextOffset);
    return text;
}

int RemoteListView::image(int item) const {
    LVITEMA cell{};
    cell.mask = LVIF_IMAGE;
    cell.iItem = item;
    put(&cell, sizeof cell);
    if (!SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(memory_)))
        return -1;
    get(&cell, sizeof cell);
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
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    put(&state, sizeof state);
    SendMessageA(list_, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(memory_));
}

} // namespace orvella::driver
