#include <gtest/gtest.h>

#include <vector>

#include "tests/widgets/GradientPanelTesting.h"
#include "widgets/GradientPanel.h"

using namespace paneltest;

namespace {

TEST(GradientPanelStripesTest, VerticalGreyToBlackOn29RowsSkipsTheFirstBands) {
  TGradientPanel panel(nullptr);
  Plain(panel, 715, 29, gsVertical, clGray, clBlack);
  const QImage image = Render(panel);
  const std::vector<int> levels = {126, 121, 117, 113, 108, 104, 99, 95, 90, 86, 82, 77, 73, 68, 64,
                                   60,  55,  51,  46,  42,  38,  33, 29, 24, 20, 15, 11, 7,  2};
  for (int y = 0; y < 29; ++y) {
    const int level = levels[static_cast<size_t>(y)];
    for (int x : {0, 357, 714}) {
      ASSERT_EQ(Pixel(image, x, y), Rgb(level, level, level)) << "row " << y << " column " << x;
    }
  }
}

TEST(GradientPanelStripesTest, HorizontalOn100ColumnsNeverShowsStepsZeroOr255) {
  TGradientPanel panel(nullptr);
  Plain(panel, 100, 10, gsHorizontal, RGBColor(0, 0, 0), RGBColor(255, 255, 255));
  const QImage image = Render(panel);
  EXPECT_EQ(Pixel(image, 0, 0), Rgb(1, 1, 1));
  EXPECT_EQ(Pixel(image, 99, 9), Rgb(254, 254, 254));
  int previous = 0;
  for (int x = 0; x < 100; ++x) {
    const int level = qRed(image.pixel(x, 5));
    EXPECT_NE(level, 0) << x;
    EXPECT_NE(level, 255) << x;
    EXPECT_GT(level, previous) << "each column shows a later band than the one before";
    EXPECT_EQ(image.pixel(x, 0), image.pixel(x, 9)) << "a band spans the whole height";
    previous = level;
  }
}

// On 256 columns band i is exactly column i, so every colour step shows once.
TEST(GradientPanelStripesTest, FallingChannelTakes255MinusStep) {
  TGradientPanel panel(nullptr);
  Plain(panel, 256, 3, gsHorizontal, RGBColor(255, 0, 7), RGBColor(0, 255, 7));
  const QImage image = Render(panel);
  for (int x = 0; x < 256; ++x) {
    ASSERT_EQ(Pixel(image, x, 1), Rgb(255 - x, x, 7)) << x;
  }
}

TEST(GradientPanelStripesTest, SystemColourIsTakenByItsNumberAsRed) {
  TGradientPanel panel(nullptr);
  Plain(panel, 256, 2, gsHorizontal, clBtnFace, RGBColor(15, 255, 0));
  const QImage image = Render(panel);
  EXPECT_EQ(Pixel(image, 0, 0), Rgb(15, 0, 0));
  EXPECT_EQ(Pixel(image, 255, 0), Rgb(15, 255, 0));
}

// A sunken frame makes the client area smaller than the panel; the stripes still spread over
// the whole panel, so the last bands are cut off, and so are the far bevel lines.
TEST(GradientPanelStripesTest, FrameCutsOffTheLastBandsAndTheFarBevels) {
  TGradientPanel panel(nullptr);
  Plain(panel, 256, 40, gsHorizontal, RGBColor(0, 0, 0), RGBColor(255, 0, 0));
  panel.SetBorderStyle(bsSingle);
  QPalette colours = panel.palette();
  colours.setColor(QPalette::Light, QColor(1, 2, 3));
  colours.setColor(QPalette::Dark, QColor(4, 5, 6));
  panel.setPalette(colours);
  panel.SetBevelOuter(bvRaised);
  ASSERT_EQ(panel.ClientWidth(), 252);
  ASSERT_EQ(panel.ClientHeight(), 36);
  const QImage image = Render(panel);
  // The bitmap sits at (2, 2): its column x shows band x, so band 252 onward is never seen.
  EXPECT_EQ(Pixel(image, 2 + 251, 20), Rgb(251, 0, 0));
  EXPECT_EQ(Pixel(image, 2 + 10, 20), Rgb(10, 0, 0));
  // Near bevel lines inside the bitmap, far ones (row 39, column 255 of the panel) outside it.
  EXPECT_EQ(Pixel(image, 2 + 0, 2 + 5), Rgb(1, 2, 3));
  EXPECT_EQ(Pixel(image, 2 + 5, 2 + 0), Rgb(1, 2, 3));
  for (int y = 2; y < 38; ++y) EXPECT_NE(Pixel(image, 253, y), Rgb(4, 5, 6)) << y;
  for (int x = 3; x < 254; ++x) EXPECT_NE(Pixel(image, x, 37), Rgb(4, 5, 6)) << x;
}

}  // namespace
