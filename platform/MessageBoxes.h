#pragma once

#include <string>

namespace orvella {

enum class MessageIcon { Error, Warning, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// Opaque window that owns a message box; null means no owner window.
using WindowRef = void*;

struct Message {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::Error;
    MessageButtons buttons = MessageButtons::Ok;
    WindowRef owner = nullptr;
};

// Modal message boxes, shown and answered by the platform.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer show(const Message& message) = 0;
};

} // namespace orvella
