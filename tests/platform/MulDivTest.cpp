#include <gtest/gtest.h>

#include <limits>

#include "platform/MulDiv.h"

namespace {

constexpr int kMax = std::numeric_limits<int>::max();
constexpr int kMin = std::numeric_limits<int>::min();

TEST(MulDivTest, RoundsToNearestWithHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(1, 1, 2), 1);
  EXPECT_EQ(MulDiv(-1, 1, 2), -1);
  EXPECT_EQ(MulDiv(1, -1, 2), -1);
  EXPECT_EQ(MulDiv(-1, -1, 2), 1);
  EXPECT_EQ(MulDiv(1, 1, -2), -1);
  EXPECT_EQ(MulDiv(3, 1, -2), -2);
  EXPECT_EQ(MulDiv(5, 1, 4), 1);    // 1.25
  EXPECT_EQ(MulDiv(7, 1, 4), 2);    // 1.75
  EXPECT_EQ(MulDiv(-7, 1, 4), -2);  // -1.75
  EXPECT_EQ(MulDiv(-5, 1, 4), -1);  // -1.25
  EXPECT_EQ(MulDiv(4, 128, 255), 2);
  EXPECT_EQ(MulDiv(0, 7, 3), 0);
}

TEST(MulDivTest, FormsTheProductInSixtyFourBits) {
  EXPECT_EQ(MulDiv(65536, 65536, 65536), 65536);
  EXPECT_EQ(MulDiv(kMax, kMax, kMax), kMax);
  EXPECT_EQ(MulDiv(kMin, kMin, kMin), kMin);
  EXPECT_EQ(MulDiv(kMax, 2, 4), 1073741824);  // 1073741823.5, the half going up
  EXPECT_EQ(MulDiv(kMin, 1, 1), kMin);
}

TEST(MulDivTest, ReturnsMinusOneForZeroDivisorOrOverflow) {
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(0, 0, 0), -1);
  EXPECT_EQ(MulDiv(kMax, 2, 1), -1);
  EXPECT_EQ(MulDiv(kMin, -1, 1), -1);
  EXPECT_EQ(MulDiv(kMin, 1, -1), -1);
  EXPECT_EQ(MulDiv(kMin, kMin, 1), -1);
  // 65535 * 65537 / 2 = 2^31 - 0.5: rounding away from zero leaves the range upward only.
  EXPECT_EQ(MulDiv(65535, 65537, 2), -1);
  EXPECT_EQ(MulDiv(65535, 65537, -2), kMin);
}

// The gradient relies on a falling channel mirroring a rising one at every step.
TEST(MulDivTest, NegatedFactorMirrorsTheResult) {
  for (int n : {2, 155, 255, 14}) {
    for (int d = 0; d <= 255; ++d) {
      for (int i = 0; i <= n; ++i) {
        ASSERT_EQ(MulDiv(i, -d, n), -MulDiv(i, d, n)) << i << " " << d << " " << n;
        const int step = MulDiv(i, d, n);
        ASSERT_GE(step, 0);
        ASSERT_LE(step, d);
      }
    }
  }
}

}  // namespace
