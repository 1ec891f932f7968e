#include <gtest/gtest.h>

#include <vector>

#include "platform/MulDiv.h"
#include "tests/widgets/GradientPanelTesting.h"
#include "widgets/GradientPanel.h"
#include "widgets/TShrinkingBox.h"

using namespace paneltest;

namespace {

constexpr TColor kBegin = RGBColor(255, 0, 3);
constexpr TColor kEnd = RGBColor(0, 101, 0);
const QRgb kPrevious = Rgb(10, 20, 30);

// c(1) of two steps: 255 - 128, 0 + 51, 3 - 2 (the halves go away from zero).
const QRgb kHalfStep = Rgb(127, 51, 1);

// Paints a flat colour first, so pixels that the style under test leaves alone are known.
void PaintOver(TGradientPanel& panel, int width, int height, TGradientStyle style) {
  Plain(panel, width, height, gsVertical, RGBColor(10, 20, 30), RGBColor(10, 20, 30));
  Render(panel);
  panel.SetGradientStyle(style);
  panel.SetBeginColor(kBegin);
  panel.SetEndColor(kEnd);
}

std::vector<QRgb> Column(const QImage& image, int x) {
  std::vector<QRgb> rows;
  for (int y = 0; y < image.height(); ++y) rows.push_back(Pixel(image, x, y));
  return rows;
}

std::vector<QRgb> Row(const QImage& image, int y) {
  std::vector<QRgb> columns;
  for (int x = 0; x < image.width(); ++x) columns.push_back(Pixel(image, x, y));
  return columns;
}

TEST(GradientPanelShapesTest, VerticalCenterByHeight) {
  const QRgb b = Rgb(255, 0, 3);
  const QRgb e = Rgb(0, 101, 0);
  const std::vector<std::vector<QRgb>> expected = {
      {kPrevious}, {e, e}, {b, e, b}, {b, e, e, b}, {b, kHalfStep, e, kHalfStep, b}};
  for (int height = 1; height <= 5; ++height) {
    TGradientPanel panel(nullptr);
    PaintOver(panel, 6, height, gsVerticalCenter);
    const QImage image = Render(panel);
    EXPECT_EQ(Column(image, 0), expected[static_cast<size_t>(height - 1)]) << height;
    EXPECT_EQ(Column(image, 5), Column(image, 0)) << "rows span the whole width";
  }
}

TEST(GradientPanelShapesTest, HorizontalCenterByWidth) {
  const QRgb b = Rgb(255, 0, 3);
  const QRgb e = Rgb(0, 101, 0);
  const std::vector<std::vector<QRgb>> expected = {
      {kPrevious}, {e, e}, {b, e, b}, {b, e, e, b}, {b, kHalfStep, e, kHalfStep, b}};
  for (int width = 1; width <= 5; ++width) {
    TGradientPanel panel(nullptr);
    PaintOver(panel, width, 4, gsHorizontalCenter);
    const QImage image = Render(panel);
    EXPECT_EQ(Row(image, 0), expected[static_cast<size_t>(width - 1)]) << width;
    EXPECT_EQ(Row(image, 3), Row(image, 0)) << "columns span the whole height";
  }
}

TEST(GradientPanelShapesTest, VerticalCenterOddMiddleRowAloneInTheEndColour) {
  TGradientPanel panel(nullptr);
  Plain(panel, 3, 21, gsVerticalCenter, RGBColor(0, 0, 0), RGBColor(0, 0, 200));
  const QImage image = Render(panel);
  for (int i = 0; i < 10; ++i) {
    const QRgb step = Rgb(0, 0, MulDiv(i, 200, 10));
    EXPECT_EQ(Pixel(image, 1, i), step) << i;
    EXPECT_EQ(Pixel(image, 1, 20 - i), step) << i;
  }
  EXPECT_EQ(Pixel(image, 1, 10), Rgb(0, 0, 200));
}

TEST(GradientPanelShapesTest, RectangleOn715By29) {
  TGradientPanel panel(nullptr);
  PaintOver(panel, 715, 29, gsRectangle);
  panel.SetBeginColor(RGBColor(0, 0, 0));
  panel.SetEndColor(RGBColor(255, 0, 0));
  const QImage image = Render(panel);
  // The edge strip outside rectangle 0 keeps the earlier picture.
  for (int y = 0; y < 29; ++y) {
    EXPECT_EQ(Pixel(image, 0, y), kPrevious) << y;
    EXPECT_EQ(Pixel(image, 713, y), kPrevious) << y;
    EXPECT_EQ(Pixel(image, 714, y), kPrevious) << y;
  }
  for (int x = 0; x < 715; ++x) EXPECT_EQ(Pixel(image, x, 28), kPrevious) << x;
  // Rectangle 0: columns 1 to 712, rows 0 to 27, in the begin colour at its outer rim.
  EXPECT_EQ(Pixel(image, 1, 0), Rgb(0, 0, 0));
  EXPECT_EQ(Pixel(image, 712, 27), Rgb(0, 0, 0));
  // Rectangle 245 is the last one painted: columns 344 to 369 of rows 13 and 14.
  for (int y : {13, 14}) {
    EXPECT_EQ(Pixel(image, 344, y), Rgb(245, 0, 0));
    EXPECT_EQ(Pixel(image, 369, y), Rgb(245, 0, 0));
    EXPECT_NE(Pixel(image, 343, y), Rgb(245, 0, 0));
    EXPECT_NE(Pixel(image, 370, y), Rgb(245, 0, 0));
  }
  for (int y = 0; y < 29; ++y) {
    for (int x = 0; x < 715; ++x) ASSERT_LT(qRed(image.pixel(x, y)), 246) << x << "," << y;
  }
}

TEST(GradientPanelShapesTest, RectangleBoxesShrinkInDoublePrecision) {
  TShrinkingBox box = TShrinkingBox::ForRectangles(715, 29);
  box.Step();
  EXPECT_EQ(QRect(QPoint(box.Left(), box.Top()), QPoint(box.Right(), box.Bottom())),
            QRect(QPoint(1, 0), QPoint(713, 28)));
  for (int i = 1; i <= 245; ++i) box.Step();
  EXPECT_EQ(box.Left(), 344);
  EXPECT_EQ(box.Right(), 370);
  EXPECT_EQ(box.Top(), 13);
  EXPECT_EQ(box.Bottom(), 15);
  box.Step();  // rectangle 246: top and bottom both 14
  EXPECT_EQ(box.Top(), 14);
  EXPECT_EQ(box.Bottom(), 14);
}

TEST(GradientPanelShapesTest, EllipseBoxesStartBeyondTheEdgesAndEndAtTheCentre) {
  TShrinkingBox box = TShrinkingBox::ForEllipses(715, 29);
  box.Step();
  EXPECT_EQ(box.Left(), -175);
  EXPECT_EQ(box.Top(), -7);
  EXPECT_EQ(box.Right(), 890);
  EXPECT_EQ(box.Bottom(), 36);
  for (int i = 1; i <= 154; ++i) box.Step();
  // Ellipse 154 has shrunk to the centre point (357.5, 14.5), give or take rounding.
  EXPECT_NEAR(box.Left(), 357, 1);
  EXPECT_NEAR(box.Right(), 357, 1);
  EXPECT_EQ(box.Top(), 14);
  EXPECT_EQ(box.Bottom(), 14);
}

// Steps 0..155 in red equal the step number, so the colour shows which ellipse lies on top.
TEST(GradientPanelShapesTest, EllipticShadesFromTheCornersToTheCentre) {
  TGradientPanel panel(nullptr);
  Plain(panel, 715, 29, gsElliptic, RGBColor(0, 0, 0), RGBColor(155, 0, 0));
  const QImage image = Render(panel);
  for (QPoint corner : {QPoint(0, 0), QPoint(714, 0), QPoint(0, 28), QPoint(714, 28)}) {
    EXPECT_LT(qRed(image.pixel(corner)), 10) << corner.x() << "," << corner.y();
  }
  EXPECT_GT(qRed(image.pixel(357, 14)), 140);
  int previous = 0;
  for (int x = 0; x <= 357; ++x) {
    const int step = qRed(image.pixel(x, 14));
    EXPECT_GE(step, previous) << "inner ellipses lie over outer ones, column " << x;
    EXPECT_EQ(qGreen(image.pixel(x, 14)), 0);
    previous = step;
  }
}

TEST(GradientPanelShapesTest, EqualColoursGiveOneFlatColourInEveryStyle) {
  for (TGradientStyle style :
       {gsHorizontal, gsVertical, gsVerticalCenter, gsHorizontalCenter, gsElliptic, gsRectangle}) {
    TGradientPanel panel(nullptr);
    // The first paint fills the rectangle style's edge strip with the same colour.
    Plain(panel, 60, 23, gsVertical, RGBColor(40, 50, 60), RGBColor(40, 50, 60));
    Render(panel);
    panel.SetGradientStyle(style);
    const QImage image = Render(panel);
    for (int y = 0; y < 23; ++y) {
      for (int x = 0; x < 60; ++x) {
        ASSERT_EQ(Pixel(image, x, y), Rgb(40, 50, 60)) << style << " at " << x << "," << y;
      }
    }
  }
}

TEST(GradientPanelShapesTest, ZeroSizeAndTinyPanelsPaintWithoutFailing) {
  for (TGradientStyle style :
       {gsHorizontal, gsVertical, gsVerticalCenter, gsHorizontalCenter, gsElliptic, gsRectangle}) {
    for (QSize size : {QSize(0, 0), QSize(1, 1), QSize(2, 1), QSize(0, 7), QSize(3, 2)}) {
      TGradientPanel panel(nullptr);
      panel.SetBevelWidth(3);
      panel.SetBevelInner(bvLowered);
      panel.SetCaption(QStringLiteral("x"));
      panel.resize(size);
      panel.SetGradientStyle(style);
      if (!size.isEmpty()) {
        const QImage image = Render(panel);
        EXPECT_EQ(image.size(), size);
      }
      QImage target(4, 4, QImage::Format_RGB32);
      panel.render(&target);
    }
  }
}

}  // namespace
