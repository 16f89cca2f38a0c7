#include "app/MainDialogModel.h"
#include "app/resource.h"
#include "game/UserTexts.h"
#include "win/DialogsWin.h"

#include <commctrl.h>

#include <cstring>
#include <memory>

namespace orvella {
namespace {

constexpr int DirectionIcons[] = {IDI_ENGLISH, IDI_ITALIAN,
                                  IDI_UNSUPPORTED}; // in the order of ConversionDirection
constexpr int ColumnWidths[] = {19, 19, 19, 110};

// The main dialog's controls behind the view its model drives.
class MainDialog final : public MainDialogView {
public:
    explicit MainDialog(HWND dialog)
        : dialog_(dialog), list_(GetDlgItem(dialog, IDC_SAVE_LIST)),
          model_(*this,
                 {*desktopSession().files, *desktopSession().messages, desktopSession().installation}) {}
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;

    void initialise() {
        HINSTANCE instance = desktopSession().instance;
        icon_ = LoadIconA(instance, MAKEINTRESOURCEA(IDI_ORVELLA));
        SendMessageA(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SendMessageA(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
        prepareSaveList(instance);
        model_.initialise();
        centreOnDesktop(dialog_);
    }

    void onNotify(const NMHDR& header) {
        if (header.idFrom != IDC_SAVE_LIST || header.code != LVN_ITEMCHANGED)
            return;
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if (change.iItem >= 0 && (change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED))
            model_.onRowSelected(static_cast<std::size_t>(change.iItem));
    }

    void onActivated() { model_.onActivated(); }

    void onDestroyed() {
        DestroyIcon(icon_);
        model_.onDestroyed();
        replacePicture(nullptr);
    }

    void onCommand(int commandId) {
        if (std::optional<int> result = model_.onCommand(commandId))
            EndDialog(dialog_, *result);
    }

    WindowRef window() override { return dialog_; }

    void setControlText(int controlId, const std::string& text) override {
        SetDlgItemTextA(dialog_, controlId, text.c_str());
    }

    void enableControl(int controlId, bool enabled) override {
        EnableWindow(GetDlgItem(dialog_, controlId), enabled ? TRUE : FALSE);
    }

    void clearSaveRows() override {
        for (int count = static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); count > 0; --count)
            SendMessageA(list_, LVM_DELETEITEM, 0, 0);
    }

    void showSaveRows(const std::vector<SaveListRow>& rows) override {
        for (std::size_t row = 0; row < rows.size(); ++row) {
            const SaveListRow& save = rows[row];
            LVITEMA item{};
            item.mask = LVIF_IMAGE | LVIF_TEXT;
            item.iItem = static_cast<int>(row);
            item.iImage = static_cast<int>(save.saveInfo.direction); // the image list is in direction order
            item.pszText = const_cast<char*>("");
            int index =
                static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
            if (index < 0)
                continue;
            setCell(index, 1, save.marked(Game::Tribunal) ? texts::TribunalMark : "");
            setCell(index, 2, save.marked(Game::Bloodmoon) ? texts::BloodmoonMark : "");
            setCell(index, 3, save.fileName.c_str());
        }
    }

    std::optional<std::size_t> selectionMark() override {
        int mark = static_cast<int>(SendMessageA(list_, LVM_GETSELECTIONMARK, 0, 0));
        if (mark < 0)
            return std::nullopt;
        return static_cast<std::size_t>(mark);
    }

    int runProgressDialog(const PatchRequest& request) override {
        return orvella::runProgressDialog(dialog_, request);
    }

    void setSummaryText(const std::string& text) override {
        SetDlgItemTextA(dialog_, IDC_SUMMARY, text.c_str());
    }

    void clearMasterList() override {
        int count = static_cast<int>(SendDlgItemMessageA(dialog_, IDC_MASTER_LIST, LB_GETCOUNT, 0, 0));
        for (; count > 0; --count)
            SendDlgItemMessageA(dialog_, IDC_MASTER_LIST, LB_DELETESTRING, 0, 0);
    }

    void addMasterLine(const std::string& line) override {
        SendDlgItemMessageA(dialog_, IDC_MASTER_LIST, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(line.c_str()));
    }

    // The picture as a bottom-up DIB section of 32 bits a pixel.
    void setPicture(const SummaryPicture& picture) override {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = SummaryPicture::Width;
        info.bmiHeader.biHeight = SummaryPicture::Height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap)
            return;
        auto* rows = static_cast<std::uint8_t*>(bits);
        for (int y = 0; y < SummaryPicture::Height; ++y)
            std::memcpy(rows + (SummaryPicture::Height - 1 - y) * SummaryPicture::RowBytes,
                        picture.pixel(0, y), SummaryPicture::RowBytes);
        replacePicture(bitmap);
    }

    void clearPicture() override { replacePicture(CreateBitmap(1, 1, 1, 1, nullptr)); }

private:
    // The small-icon image list of the three direction icons, the list's extended styles and its four
    // columns without headings.
    void prepareSaveList(HINSTANCE instance) {
        HIMAGELIST images =
            ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_MASK, 3, 0);
        for (int id : DirectionIcons) {
            HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(id));
            ImageList_AddIcon(images, icon);
            DestroyIcon(icon);
        }
        SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
        DWORD styles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
        SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, styles, styles);
        for (int column = 0; column < 4; ++column) {
            LVCOLUMNA heading{};
            heading.mask = LVCF_WIDTH | LVCF_TEXT;
            heading.cx = ColumnWidths[column];
            heading.pszText = const_cast<char*>("");
            SendMessageA(list_, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&heading));
        }
    }

    void setCell(int row, int column, const char* text) {
        LVITEMA cell{};
        cell.iSubItem = column;
        cell.pszText = const_cast<char*>(text);
        SendMessageA(list_, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&cell));
    }

    // The picture control does not own its bitmaps: the one it showed before is deleted here.
    void replacePicture(HBITMAP bitmap) {
        HANDLE previous = reinterpret_cast<HANDLE>(SendDlgItemMessageA(
            dialog_, IDC_SCREENSHOT, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
        if (previous)
            DeleteObject(previous);
    }

    HWND dialog_;
    HWND list_;
    HICON icon_ = nullptr;
    MainDialogModel model_;
};

MainDialog* dialogOf(HWND window) {
    return reinterpret_cast<MainDialog*>(GetWindowLongPtrA(window, DWLP_USER));
}

INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto dialog = std::make_unique<MainDialog>(window);
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog.get()));
        dialog.release()->initialise();
        return TRUE;
    }
    MainDialog* dialog = dialogOf(window);
    if (!dialog)
        return FALSE;
    switch (message) {
    case WM_NOTIFY:
        dialog->onNotify(*reinterpret_cast<const NMHDR*>(lParam));
        SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            dialog->onActivated();
        return FALSE;
    case WM_DESTROY:
        dialog->onDestroyed();
        return FALSE;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, DWLP_USER, 0);
        delete dialog;
        return FALSE;
    case WM_COMMAND:
        if (!MainDialogModel::handlesCommand(LOWORD(wParam)))
            return FALSE;
        dialog->onCommand(LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK mainDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return guarded([&] { return handleMessage(dialog, message, wParam, lParam); });
}

} // namespace orvella
