#include "app/ProgressDialogState.h"
#include "app/resource.h"

#include <gtest/gtest.h>

namespace orvella::test {
namespace {

TEST(ProgressDialogStateTest, OnlyOkAfterTheWorkerHasEndedClosesAndViewLogOpensTheReportEveryTime) {
    ProgressDialogState state;
    for (int command : {int{IDOK}, 2 /* Escape */, 0, 1016, 1030, 9999})
        EXPECT_EQ(state.onCommand(command, std::nullopt), ProgressAction::Ignore) << command;
    for (int command : {2, 0, 1016, 1030, 9999})
        EXPECT_EQ(state.onCommand(command, 0u), ProgressAction::Ignore) << command;
    EXPECT_EQ(state.onCommand(IDC_VIEW_LOG, 0u), ProgressAction::OpenReport);
    EXPECT_EQ(state.onCommand(IDC_VIEW_LOG, 0u), ProgressAction::OpenReport);
    EXPECT_FALSE(state.closed());
    EXPECT_EQ(state.onCommand(IDOK, 1u), ProgressAction::Close);
    EXPECT_TRUE(state.closed());
    EXPECT_EQ(state.onCommand(IDOK, 0u), ProgressAction::Ignore);
    EXPECT_EQ(state.result(), 1);

    ProgressDialogState success;
    EXPECT_EQ(success.onCommand(IDOK, 0u), ProgressAction::Close);
    EXPECT_EQ(success.result(), 0);
}

} // namespace
} // namespace orvella::test
