#pragma once

#include "platform/MessageBoxes.h"
#include "platform/ProgressView.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orvella::test {

// Keeps every message box it is shown and answers with a preset answer.
class RecordingMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer show(const Message& message) override;

    std::vector<Message> shown;
    MessageAnswer answer = MessageAnswer::Yes;
};

// Keeps the last state of every control the worker touched, and the order of the calls.
class RecordingProgress final : public ProgressView {
public:
    void setBarPosition(int controlId, int percent) override;
    void setImage(int controlId, StatusImage image) override;
    void setText(int controlId, const std::string& text) override;
    void showButton(int controlId) override;
    void enableButton(int controlId) override;

    int bar(int controlId) const;
    std::optional<StatusImage> image(int controlId) const;
    bool shownButton(int controlId) const;
    bool enabledButton(int controlId) const;

    std::map<int, int> bars;
    std::map<int, StatusImage> images;
    std::map<int, std::string> texts;
    std::vector<int> shownButtons;
    std::vector<int> enabledButtons;
    std::vector<std::string> calls;
};

} // namespace orvella::test
