#include "ConsoleUi.h"

#include "TerminalText.h"
#include "job/ProgressControls.h"

#include <cstdio>
#include <iostream>

namespace orvella::cli {

namespace {

struct Stage {
    int bar;
    int image;
    const char* label;
};

const Stage Stages[] = {
    {MasterBar, MasterImage, "Analisi dei Master File............"},
    {PluginBar, PluginImage, "Analisi dei Plugin Tradotti........"},
    {ReadBar, ReadImage, "Lettura del Salvataggio.........."},
    {ConvertBar, ConvertImage, "Elaborazione del Salvataggio..."},
    {JournalBar, JournalImage, "-- Elaborazione del Journal....."},
    {FinalBar, FinalImage, "Finalizzazione....................."},
};

const Stage* stageOf(int controlId) {
    for (const Stage& stage : Stages)
        if (stage.bar == controlId || stage.image == controlId)
            return &stage;
    return nullptr;
}

std::string barText(const Stage& stage, int percent) {
    constexpr int Width = 30;
    int filled = percent * Width / 100;
    return toTerminal(stage.label) + " [" + std::string(filled, '#') + std::string(Width - filled, ' ') +
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

ConsoleProgress::~ConsoleProgress() {
    endLiveLine();
}

void ConsoleProgress::endLiveLine() {
    if (liveBar_ != 0) {
        std::cout << "\n" << std::flush;
        liveBar_ = 0;
    }
}

void ConsoleProgress::setBarPosition(int controlId, int percent) {
    const Stage* stage = stageOf(controlId);
    if (!stage || !live_)
        return;
    if (liveBar_ != controlId)
        endLiveLine();
    liveBar_ = controlId;
    std::cout << "\r" << barText(*stage, percent) << std::flush;
}

void ConsoleProgress::setImage(int controlId, StatusImage image) {
    const Stage* stage = stageOf(controlId);
    if (!stage)
        return;
    const char* mark = image == StatusImage::Success ? "OK" : "FAIL";
    if (live_) {
        if (liveBar_ != stage->bar) {
            endLiveLine();
            std::cout << toTerminal(stage->label);
        } else {
            std::cout << "\r" << barText(*stage, 100);
        }
        std::cout << " " << mark << "\n" << std::flush;
        liveBar_ = 0;
        return;
    }
    std::cout << toTerminal(stage->label) << " " << mark << "\n";
}

void ConsoleProgress::setText(int controlId, const std::string& text) {
    endLiveLine();
    if (controlId == StatusText)
        std::cout << toTerminal(text) << "\n" << std::flush;
}

} // namespace orvella::cli
