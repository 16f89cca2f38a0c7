#include "RecordingUi.h"

#include <algorithm>

namespace orvella::test {

MessageAnswer RecordingMessageBoxes::show(const Message& message) {
    shown.push_back(message);
    return message.buttons == MessageButtons::YesNo ? answer : MessageAnswer::Ok;
}

void RecordingProgress::setBarPosition(int controlId, int percent) {
    bars[controlId] = percent;
    calls.push_back("bar " + std::to_string(controlId) + " " + std::to_string(percent));
}

void RecordingProgress::setImage(int controlId, StatusImage image) {
    images[controlId] = image;
    calls.push_back("image " + std::to_string(controlId) + (image == StatusImage::Success ? " ok" : " fail"));
}

void RecordingProgress::setText(int controlId, const std::string& text) {
    texts[controlId] = text;
    calls.push_back("text " + std::to_string(controlId));
}

void RecordingProgress::showButton(int controlId) {
    shownButtons.push_back(controlId);
    calls.push_back("show " + std::to_string(controlId));
}

void RecordingProgress::enableButton(int controlId) {
    enabledButtons.push_back(controlId);
    calls.push_back("enable " + std::to_string(controlId));
}

int RecordingProgress::bar(int controlId) const {
    auto found = bars.find(controlId);
    return found == bars.end() ? 0 : found->second;
}

std::optional<StatusImage> RecordingProgress::image(int controlId) const {
    auto found = images.find(controlId);
    return found == images.end() ? std::nullopt : std::optional<StatusImage>(found->second);
}

bool RecordingProgress::shownButton(int controlId) const {
    return std::find(shownButtons.begin(), shownButtons.end(), controlId) != shownButtons.end();
}

bool RecordingProgress::enabledButton(int controlId) const {
    return std::find(enabledButtons.begin(), enabledButtons.end(), controlId) != enabledButtons.end();
}

} // namespace orvella::test
