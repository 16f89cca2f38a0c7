#include "app/ProgressDialogState.h"
#include "job/ProgressControls.h"

#include <gtest/gtest.h>

namespace orvella::test {
namespace {

constexpr int EscapeCommand = 2;

TEST(ProgressDialogStateTest, OkClosesOnlyOnceTheWorkerHasEnded) {
    ProgressDialogState state;
    EXPECT_EQ(state.onCommand(OkButton, std::nullopt), ProgressAction::Ignore);
    EXPECT_FALSE(state.closed());
    EXPECT_EQ(state.onCommand(OkButton, 1u), ProgressAction::Close);
    EXPECT_TRUE(state.closed());
    EXPECT_EQ(state.result(), 1);
    EXPECT_EQ(state.onCommand(OkButton, 0u), ProgressAction::Ignore);
    EXPECT_EQ(state.result(), 1);

    ProgressDialogState success;
    EXPECT_EQ(success.onCommand(OkButton, 0u), ProgressAction::Close);
    EXPECT_EQ(success.result(), 0);
}

TEST(ProgressDialogStateTest, EscapeAndOtherCommandsNeverClose) {
    ProgressDialogState state;
    for (int command : {EscapeCommand, 0, 1016, 1030, 9999}) {
        EXPECT_EQ(state.onCommand(command, std::nullopt), ProgressAction::Ignore) << command;
        EXPECT_EQ(state.onCommand(command, 0u), ProgressAction::Ignore) << command;
    }
    EXPECT_FALSE(state.closed());
}

TEST(ProgressDialogStateTest, ViewLogOpensTheReportEveryTime) {
    ProgressDialogState state;
    EXPECT_EQ(state.onCommand(ViewLogButton, 0u), ProgressAction::OpenReport);
    EXPECT_EQ(state.onCommand(ViewLogButton, 0u), ProgressAction::OpenReport);
    EXPECT_FALSE(state.closed());
}

} // namespace
} // namespace orvella::test
