#include "RemoteTreeView.h"

namespace orvella::driver {
namespace {

constexpr std::size_t TextOffset = 1024;
constexpr std::size_t BufferSize = TextOffset + MAX_PATH;

HTREEITEM nextItem(HWND tree, UINT relation, HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

} // namespace

RemoteTreeView::RemoteTreeView(HWND tree) : tree_(tree), memory_(tree, BufferSize) {}

HTREEITEM RemoteTreeView::root() const {
    return nextItem(tree_, TVGN_ROOT, nullptr);
}

std::vector<HTREEITEM> RemoteTreeView::open(HTREEITEM item) const {
    SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    std::vector<HTREEITEM> children;
    for (HTREEITEM child = nextItem(tree_, TVGN_CHILD, item); child;
         child = nextItem(tree_, TVGN_NEXT, child))
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

HTREEITEM RemoteTreeView::selection() const {
    return nextItem(tree_, TVGN_CARET, nullptr);
}

} // namespace orvella::driver
