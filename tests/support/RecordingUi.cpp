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
    record("bar " + stageName(stage) + " " + std::to_string(percent));
}

void RecordingProgress::setImage(JobStage stage, StatusImage image) {
    record("image " + stageName(stage) + (image == StatusImage::Success ? " ok" : " fail"));
}

void RecordingProgress::finished(const PatchResult& finishedWith) {
    record("finished", &finishedWith);
}

void RecordingProgress::record(std::string call, const PatchResult* finishedWith) {
    const auto add = [&] {
        if (finishedWith)
            result = *finishedWith;
        calls.push_back(std::move(call));
    };
    through ? through(add) : add();
}

} // namespace orvella::test
