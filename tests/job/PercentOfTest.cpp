#include "job/PercentOf.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

TEST(PercentOf, TruncatesTheDoublePrecisionQuotient) {
    EXPECT_EQ(percentOf(29, 100), 28); // 0.29 * 100 is just below 29
    EXPECT_EQ(percentOf(0, 7), 0);
    EXPECT_EQ(percentOf(7, 7), 100);
    EXPECT_EQ(percentOf(1, 3), 33);
    EXPECT_EQ(percentOf(2, 3), 66);
}

TEST(PercentOf, RoundsBothNumbersToSinglePrecisionFirst) {
    // 16777217 is not a float: it becomes 16777216, so the quotient is exactly 1.
    EXPECT_EQ(percentOf(16777217u, 16777216u), 100);
    EXPECT_EQ(percentOf(0xFFFFFFFFu, 0xFFFFFFFFu), 100);
}

TEST(PercentOf, AZeroTotalGivesAFullBar) {
    EXPECT_EQ(percentOf(0, 0), 100);
}

} // namespace
} // namespace orvella
