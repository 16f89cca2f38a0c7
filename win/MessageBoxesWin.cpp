#include "win/MessageBoxesWin.h"

#include <windows.h>

namespace orvella {
namespace {

UINT iconStyle(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return MB_ICONERROR;
    case MessageIcon::Warning:
        return MB_ICONWARNING;
    case MessageIcon::Information:
        break;
    }
    return MB_ICONINFORMATION;
}

class WinMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer show(const Message& message) override {
        UINT buttons = message.buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
        int answer = MessageBoxA(static_cast<HWND>(message.owner), message.text.c_str(),
                                 message.caption.c_str(), buttons | iconStyle(message.icon));
        if (answer == IDYES)
            return MessageAnswer::Yes;
        if (answer == IDNO)
            return MessageAnswer::No;
        return MessageAnswer::Ok;
    }
};

} // namespace

MessageBoxes& win32MessageBoxes() {
    static WinMessageBoxes boxes;
    return boxes;
}

} // namespace orvella
