#pragma once

#include "platform/MessageBoxes.h"
#include "platform/ProgressView.h"

#include <string>

namespace orvella::cli {

// Message boxes as lines on stderr; a question is asked on stdin unless the answer was given beforehand.
class ConsoleMessageBoxes final : public MessageBoxes {
public:
    explicit ConsoleMessageBoxes(bool answerYes = false) : answerYes_(answerYes) {}
    MessageAnswer show(const Message& message) override;

private:
    bool answerYes_;
};

// The six stages of the progress dialog: a live bar on a terminal, one line per finished stage otherwise.
class ConsoleProgress final : public ProgressView {
public:
    explicit ConsoleProgress(bool live);
    ~ConsoleProgress() override;

    void setBarPosition(int controlId, int percent) override;
    void setImage(int controlId, StatusImage image) override;
    void setText(int controlId, const std::string& text) override;
    void showButton(int) override {}
    void enableButton(int) override {}

private:
    void endLiveLine();

    bool live_;
    int liveBar_ = 0;
};

} // namespace orvella::cli
