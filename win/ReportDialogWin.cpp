#include "app/ReportContent.h"
#include "app/resource.h"
#include "win/DialogsWin.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

namespace orvella {
namespace {

struct StreamSource {
    const std::string& text;
    std::size_t offset = 0;
};

DWORD CALLBACK readBody(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
    auto& source = *reinterpret_cast<StreamSource*>(cookie);
    std::size_t count =
        std::min<std::size_t>(static_cast<std::size_t>(size), source.text.size() - source.offset);
    std::memcpy(buffer, source.text.data() + source.offset, count);
    source.offset += count;
    *read = static_cast<LONG>(count);
    return 0;
}

// The body goes in as plain text through a stream: set as window text, a body that began like rich text
// would be read as such.
void fill(HWND dialog) {
    HWND box = GetDlgItem(dialog, IDC_REPORT_TEXT);
    SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), TRUE);
    ReportContent content = loadReportContent(*desktopSession().files, lastPatchLogPath());
    SetWindowTextA(dialog, content.title.c_str());
    // The box holds 32,767 characters unless told otherwise, and a log can be longer.
    SendMessageA(box, EM_EXLIMITTEXT, 0,
                 static_cast<LPARAM>(std::max<std::size_t>(content.body.size(), 32767)));
    StreamSource source{content.body};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, readBody};
    SendMessageA(box, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
}

INT_PTR handleMessage(HWND dialog, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_INITDIALOG:
        fill(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)
            return FALSE;
        EndDialog(dialog, 1);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK reportDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return guarded([&] { return handleMessage(dialog, message, wParam); });
}

} // namespace orvella
