#pragma once

#include "app/MainDialogView.h"
#include "platform/MessageBoxes.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orvella::test {

// The main dialog's controls as plain values, with the order of the calls that change the list, the
// progress dialog and the message boxes in one shared event log.
class FakeMainDialogView final : public MainDialogView {
public:
    explicit FakeMainDialogView(std::vector<std::string>& events) : events_(events) {}

    WindowRef window() override { return this; }
    void setControlText(int controlId, const std::string& text) override { texts[controlId] = text; }
    void enableControl(int controlId, bool isEnabled) override { enabled[controlId] = isEnabled; }
    void clearSaveRows() override {
        rows.clear();
        mark.reset();
        events_.push_back("clear rows");
    }
    void showSaveRows(const std::vector<SaveListRow>& shown) override {
        rows = shown;
        events_.push_back("rows " + std::to_string(shown.size()));
    }
    std::optional<std::size_t> selectionMark() override { return mark; }
    int runProgressDialog(const PatchRequest& request) override {
        requests.push_back(request);
        events_.push_back("progress " + request.saveFileName);
        return 0;
    }

    void setSummaryText(const std::string& text) override { summary = text; }
    void clearMasterList() override { masterLines.clear(); }
    void addMasterLine(const std::string& line) override { masterLines.push_back(line); }
    void setPicture(const SummaryPicture& shown) override { picture = shown; }
    void clearPicture() override { picture.reset(); }

    bool isEnabled(int controlId) const { return enabled.count(controlId) && enabled.at(controlId); }

    std::map<int, std::string> texts;
    std::map<int, bool> enabled;
    std::vector<SaveListRow> rows;
    std::optional<std::size_t> mark;
    std::vector<PatchRequest> requests;
    std::string summary;
    std::vector<std::string> masterLines;
    std::optional<SummaryPicture> picture;

private:
    std::vector<std::string>& events_;
};

// Answers message boxes with a preset answer, logs them in the shared event log, and runs what the
// platform would run when a box closes (the owner's re-activation).
class ScriptedMessageBoxes final : public MessageBoxes {
public:
    explicit ScriptedMessageBoxes(std::vector<std::string>& events) : events_(events) {}

    MessageAnswer show(const Message& message) override {
        shown.push_back(message);
        events_.push_back("message");
        if (onClose)
            onClose();
        return message.buttons == MessageButtons::YesNo ? answer : MessageAnswer::Ok;
    }

    std::vector<Message> shown;
    MessageAnswer answer = MessageAnswer::Yes;
    std::function<void()> onClose;

private:
    std::vector<std::string>& events_;
};

} // namespace orvella::test
