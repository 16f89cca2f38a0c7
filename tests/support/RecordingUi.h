#pragma once

#include "job/ProgressView.h"
#include "platform/MessageBoxes.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvella::test {

// Keeps every message box it is shown and answers with a preset answer.
class RecordingMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer show(const Message& message) override {
        shown.push_back(message);
        return message.buttons == MessageButtons::YesNo ? answer : MessageAnswer::Ok;
    }

    std::vector<Message> shown;
    MessageAnswer answer = MessageAnswer::Yes;
};

// Keeps the calls ("bar masters 50", "image reading ok", "finished") and the result, each run through
// `through` when set, as a dialog's controls are reached through its thread's messages.
class RecordingProgress final : public ProgressView {
public:
    void setBarPosition(JobStage stage, int percent) override {
        record("bar " + name(stage) + " " + std::to_string(percent));
    }
    void setImage(JobStage stage, StatusImage image) override {
        record("image " + name(stage) + (image == StatusImage::Success ? " ok" : " fail"));
    }
    void finished(const PatchResult& result) override { record("finished", &result); }
    bool saw(const std::string& call) const {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }

    std::optional<PatchResult> result;
    std::vector<std::string> calls;
    std::function<void(const std::function<void()>&)> through;

private:
    static std::string name(JobStage stage) {
        static const char* const Names[] = {"masters",    "plugins", "reading",
                                            "converting", "journal", "finalising"};
        return Names[static_cast<std::size_t>(stage)];
    }
    void record(std::string call, const PatchResult* finishedWith = nullptr) {
        const auto add = [&] {
            if (finishedWith)
                result = *finishedWith;
            calls.push_back(std::move(call));
        };
        through ? through(add) : add();
    }
};

} // namespace orvella::test
