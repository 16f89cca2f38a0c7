#include "platform/ProgressViewWin.h"

#include <commctrl.h>

namespace orvella {

void DialogProgressView::setBarPosition(int controlId, int percent) {
    SendDlgItemMessageA(dialog_, controlId, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void DialogProgressView::setImage(int controlId, StatusImage image) {
    HBITMAP bitmap = image == StatusImage::Success ? successImage_ : failureImage_;
    SendDlgItemMessageA(dialog_, controlId, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

void DialogProgressView::setText(int controlId, const std::string& text) {
    SetDlgItemTextA(dialog_, controlId, text.c_str());
}

void DialogProgressView::showButton(int controlId) {
    ShowWindow(GetDlgItem(dialog_, controlId), SW_SHOW);
}

void DialogProgressView::enableButton(int controlId) {
    EnableWindow(GetDlgItem(dialog_, controlId), TRUE);
}

} // namespace orvella
