#include "app/ProgressDialogState.h"
#include "app/resource.h"

#include <gtest/gtest.h>

namespace orvella::test {
namespace {

TEST(ProgressDialogStateTest, OnlyOkAfterTheWorkerHasEndedClosesAndViewLogOpensTheReportEveryTime) {
    ProgressDialogState state;
    for (int command : {int{IDOK}, int{IDCANCEL}, 0})
        EXPECT_EQ(state.onCommand(command, std::nullopt), ProgressAction::Ignore) << command;
    EXPECT_EQ(state.onCommand(IDCANCEL, 0u), ProgressAction::Ignore);
    for (int time = 0; time < 2; ++time)
        EXPECT_EQ(state.onCommand(IDC_VIEW_LOG, 0u), ProgressAction::OpenReport);
    EXPECT_FALSE(state.closed());
    EXPECT_EQ(state.onCommand(IDOK, 1u), ProgressAction::Close);
    EXPECT_TRUE(state.closed());
    EXPECT_EQ(state.onCommand(IDOK, 0u), ProgressAction::Ignore);
    EXPECT_EQ(state.result(), 1);
}

} // namespace
} // namespace orvella::test
