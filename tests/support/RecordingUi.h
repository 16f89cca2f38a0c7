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
    MessageAnswer show(const Message& message) override;

    std::vector<Message> shown;
    MessageAnswer answer = MessageAnswer::Yes;
};

// The stage's name in the calls a RecordingProgress keeps.
std::string stageName(JobStage stage);

// Keeps the order of the calls ("bar masters 50", "image reading ok", "finished") and the result the worker
// finished with. Each call runs through `through` when it is set, as a dialog's controls are reached through
// its thread's messages.
class RecordingProgress final : public ProgressView {
public:
    void setBarPosition(JobStage stage, int percent) override;
    void setImage(JobStage stage, StatusImage image) override;
    void finished(const PatchResult& result) override;
    bool saw(const std::string& call) const {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }

    std::optional<PatchResult> result;
    std::vector<std::string> calls;
    std::function<void(const std::function<void()>&)> through;

private:
    void record(std::string call, const PatchResult* finishedWith = nullptr);
};

} // namespace orvella::test
