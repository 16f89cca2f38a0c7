#include "ConsoleUi.h"

#include "TerminalText.h"
#include "game/UserTexts.h"

#include <cstdio>
#include <iostream>

namespace orvella::cli {

namespace {

// The labels of the progress dialog's stages, as it shows them.
const char* labelOf(JobStage stage) {
    switch (stage) {
    case JobStage::Masters:
        return texts::MastersStageLabel;
    case JobStage::Plugins:
        return texts::PluginsStageLabel;
    case JobStage::Reading:
        return texts::ReadingStageLabel;
    case JobStage::Converting:
        return texts::ConvertingStageLabel;
    case JobStage::Journal:
        return texts::JournalStageLabel;
    case JobStage::Finalising:
        break;
    }
    return texts::FinalisingStageLabel;
}

std::string barText(JobStage stage, int percent) {
    constexpr int Width = 30;
    int filled = percent * Width / 100;
    return toTerminal(labelOf(stage)) + " [" + std::string(filled, '#') + std::string(Width - filled, ' ') +
           "] " + std::to_string(percent) + "%";
}

} // namespace

bool isYesAnswer(std::string_view answer) {
    const std::string_view blanks = " \t\r\n";
    const std::size_t first = answer.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return false;
    answer = answer.substr(first, answer.find_last_not_of(blanks) - first + 1);
    std::string folded(answer);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    // "s\xEC" and "S\xCC" in Windows-1252, then the same two letters in UTF-8.
    for (std::string_view yes : {"y", "yes", "s", "si", "s\xEC", "s\xCC", "s\xC3\xAC", "s\xC3\x8C"})
        if (folded == yes)
            return true;
    return false;
}

MessageAnswer ConsoleMessageBoxes::show(const Message& message) {
    const bool question = message.buttons == MessageButtons::YesNo;
    if (question && answerYes_)
        return MessageAnswer::Yes;
    if (progress_)
        progress_->endLiveLine();
    std::cout << std::flush;
    std::fflush(stdout);
    std::cerr << toTerminal(message.caption) << ": " << toTerminal(withLineFeeds(message.text), fileName_)
              << "\n";
    if (!question)
        return MessageAnswer::Ok;
    std::cerr << "[s/N] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer))
        return MessageAnswer::No;
    return isYesAnswer(answer) ? MessageAnswer::Yes : MessageAnswer::No;
}

ConsoleProgress::ConsoleProgress(bool live) : live_(live) {}

void ConsoleProgress::endLiveLine() {
    if (liveBar_) {
        std::cout << "\n" << std::flush;
        liveBar_.reset();
    }
}

void ConsoleProgress::setBarPosition(JobStage stage, int percent) {
    if (!live_)
        return;
    if (liveBar_ != stage)
        endLiveLine();
    liveBar_ = stage;
    std::cout << "\r" << barText(stage, percent) << std::flush;
}

void ConsoleProgress::setImage(JobStage stage, StatusImage image) {
    const char* mark = image == StatusImage::Success ? "OK" : "FAIL";
    if (live_) {
        if (liveBar_ != stage) {
            endLiveLine();
            std::cout << toTerminal(labelOf(stage));
        } else {
            std::cout << "\r" << barText(stage, 100);
        }
        std::cout << " " << mark << "\n" << std::flush;
        liveBar_.reset();
        return;
    }
    std::cout << toTerminal(labelOf(stage)) << " " << mark << "\n";
}

void ConsoleProgress::finished(const PatchResult& result) {
    endLiveLine();
    std::cout << toTerminal(result.outcomeText) << "\n" << std::flush;
}

} // namespace orvella::cli
