#pragma once

#include "job/ProgressView.h"
#include "platform/MessageBoxes.h"

#include <optional>
#include <string>
#include <string_view>

namespace orvella::cli {

// The six stages of the progress dialog: a live bar on a terminal, one line per finished stage otherwise;
// then the outcome.
class ConsoleProgress final : public ProgressView {
public:
    explicit ConsoleProgress(bool live);

    void setBarPosition(JobStage stage, int percent) override;
    void setImage(JobStage stage, StatusImage image) override;
    void finished(const PatchResult& result) override;

    // Ends the line of a live bar, so that what is written next starts on a line of its own.
    void endLiveLine();

private:
    bool live_;
    std::optional<JobStage> liveBar_;
};

// Message boxes as lines on stderr; a question is asked on stdin unless the answer was given beforehand,
// in which case it is not shown at all.
class ConsoleMessageBoxes final : public MessageBoxes {
public:
    explicit ConsoleMessageBoxes(bool answerYes = false) : answerYes_(answerYes) {}
    MessageAnswer show(const Message& message) override;

    // The save's file name, which the messages may hold: it is shown with its bytes as they are.
    void setFileName(std::string fileName) { fileName_ = std::move(fileName); }
    // The progress whose live bar is ended before a message is written.
    void setProgress(ConsoleProgress* progress) { progress_ = progress; }

private:
    bool answerYes_;
    std::string fileName_;
    ConsoleProgress* progress_ = nullptr;
};

// Whether an answer to a question means yes: "y", "yes", "s", "si" or "s\xEC" in any letter case, the
// accented letter in Windows-1252 or in UTF-8, blanks around it ignored.
bool isYesAnswer(std::string_view answer);

} // namespace orvella::cli
