#include "RemoteListView.h"

#include <commctrl.h>

namespace orvella::driver {
namespace {

constexpr std::size_t BufferSize = 4096;
constexpr std::size_t TextOffset = 1024;

} // namespace

RemoteListView::RemoteListView(HWND list) : list_(list), memory_(list, BufferSize) {}

int RemoteListView::count() const {
    return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

std::string RemoteListView::text(int item, int column) const {
    LVITEMA cell{};
    cell.iSubItem = column;
    cell.pszText = memory_.at(TextOffset);
    cell.cchTextMax = static_cast<int>(BufferSize - TextOffset);
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
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    memory_.put(&state, sizeof state);
    SendMessageA(list_, LVM_SETITEMSTATE, item, memory_.lParam());
}

} // namespace orvella::driver
