#include "RecordingUi.h"

namespace orvella::test {

MessageAnswer RecordingMessageBoxes::show(const Message& message) {
    shown.push_back(message);
    return message.buttons == MessageButtons::YesNo ? answer : MessageAnswer::Ok;
}

std::string stageName(JobStage stage) {
    static const char* const Names[] = {"masters",    "plugins", "reading",
                                        "converting", "journal", "finalising"};
    return Names[static_cast<std::size_t>(stage)];
}

void RecordingProgress::setBarPosition(JobStage stage, int percent) {
    record([=, this] {
        bars[stage] = percent;
        calls.push_back("bar " + stageName(stage) + " " + std::to_string(percent));
    });
}

void RecordingProgress::setImage(JobStage stage, StatusImage image) {
    record([=, this] {
        images[stage] = image;
        calls.push_back("image " + stageName(stage) + (image == StatusImage::Success ? " ok" : " fail"));
    });
}

void RecordingProgress::finished(const PatchResult& finishedWith) {
    record([&] {
        result = finishedWith;
        calls.push_back("finished");
    });
}

int RecordingProgress::bar(JobStage stage) const {
    auto found = bars.find(stage);
    return found == bars.end() ? 0 : found->second;
}

std::optional<StatusImage> RecordingProgress::image(JobStage stage) const {
    auto found = images.find(stage);
    return found == images.end() ? std::nullopt : std::optional<StatusImage>(found->second);
}

} // namespace orvella::test
