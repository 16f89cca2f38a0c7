#pragma once

#include "job/ProgressView.h"
#include "platform/MessageBoxes.h"

#include <functional>
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

// The stage's name in the calls a RecordingProgress keeps.
std::string stageName(JobStage stage);

// Keeps the last state of every stage the worker touched, the result it finished with, and the order of the
// calls ("bar masters 50", "image reading ok", "finished"). Each call runs through `through` when it is set,
// as a dialog's controls are reached through its thread's messages.
class RecordingProgress final : public ProgressView {
public:
    void setBarPosition(JobStage stage, int percent) override;
    void setImage(JobStage stage, StatusImage image) override;
    void finished(const PatchResult& result) override;

    int bar(JobStage stage) const;
    std::optional<StatusImage> image(JobStage stage) const;

    std::map<JobStage, int> bars;
    std::map<JobStage, StatusImage> images;
    std::optional<PatchResult> result;
    std::vector<std::string> calls;
    std::function<void(const std::function<void()>&)> through;

private:
    void record(const std::function<void()>& call) { through ? through(call) : call(); }
};

} // namespace orvella::test
