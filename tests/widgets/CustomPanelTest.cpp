#include <gtest/gtest.h>

#include <QTest>

#include <vector>

#include "tests/widgets/GradientPanelTesting.h"
#include "widgets/TCustomPanel.h"

using namespace paneltest;

namespace {

TEST(CustomPanelTest, Defaults) {
  TCustomPanel panel;
  EXPECT_EQ(panel.Alignment(), taCenter);
  EXPECT_EQ(panel.BevelOuter(), bvRaised);
  EXPECT_EQ(panel.BevelInner(), bvNone);
  EXPECT_EQ(panel.BevelWidth(), 1);
  EXPECT_EQ(panel.BorderWidth(), 0);
  EXPECT_EQ(panel.BorderStyle(), bsNone);
  EXPECT_EQ(panel.Color(), clBtnFace);
  EXPECT_TRUE(panel.Caption().isEmpty());
}

TEST(CustomPanelTest, WidthsAreClampedToTheirRanges) {
  TCustomPanel panel;
  panel.SetBevelWidth(0);
  EXPECT_EQ(panel.BevelWidth(), 1);
  panel.SetBorderWidth(-3);
  EXPECT_EQ(panel.BorderWidth(), 0);
}

TEST(CustomPanelTest, BorderExtentCountsFrameBorderAndDrawnBevels) {
  TCustomPanel panel;
  panel.resize(50, 30);
  EXPECT_EQ(panel.BorderExtent(), 1);
  panel.SetBevelOuter(bvNone);
  EXPECT_EQ(panel.BorderExtent(), 0);
  panel.SetBevelInner(bvLowered);
  panel.SetBevelWidth(2);
  panel.SetBorderWidth(3);
  EXPECT_EQ(panel.BorderExtent(), 5);
  panel.SetBorderStyle(bsSingle);
  EXPECT_EQ(panel.BorderExtent(), 7);
  EXPECT_EQ(panel.ClientWidth(), 46);
  EXPECT_EQ(panel.ClientHeight(), 26);
}

TEST(CustomPanelTest, PaintsItsColourAndARaisedBevel) {
  TCustomPanel panel;
  QPalette colours = panel.palette();
  colours.setColor(QPalette::Button, QColor(200, 100, 50));
  colours.setColor(QPalette::Light, QColor(1, 2, 3));
  colours.setColor(QPalette::Dark, QColor(4, 5, 6));
  panel.setPalette(colours);
  panel.resize(20, 10);
  const QImage image = Render(panel);
  EXPECT_EQ(Pixel(image, 10, 5), Rgb(200, 100, 50));
  EXPECT_EQ(Pixel(image, 0, 9), Rgb(1, 2, 3));
  EXPECT_EQ(Pixel(image, 19, 0), Rgb(4, 5, 6));
  panel.SetColor(RGBColor(7, 8, 9));
  EXPECT_EQ(Pixel(Render(panel), 10, 5), Rgb(7, 8, 9));
}

TEST(CustomPanelTest, SunkenFrameSurroundsTheClientArea) {
  TCustomPanel panel;
  panel.SetBevelOuter(bvNone);
  panel.SetBorderStyle(bsSingle);
  panel.SetColor(RGBColor(7, 8, 9));
  QPalette colours = panel.palette();
  colours.setColor(QPalette::Dark, QColor(4, 5, 6));
  colours.setColor(QPalette::Light, QColor(1, 2, 3));
  panel.setPalette(colours);
  panel.resize(20, 10);
  const QImage image = Render(panel);
  EXPECT_EQ(Pixel(image, 0, 0), Rgb(4, 5, 6));
  EXPECT_EQ(Pixel(image, 19, 9), Rgb(1, 2, 3));
  EXPECT_EQ(Pixel(image, 2, 2), Rgb(7, 8, 9));
  EXPECT_EQ(Pixel(image, 17, 7), Rgb(7, 8, 9));
}

TEST(CustomPanelTest, ClickNeedsPressAndReleaseInside) {
  QWidget window;
  window.resize(100, 100);
  TCustomPanel panel(&window);
  panel.setGeometry(0, 0, 40, 20);
  int clicks = 0;
  std::vector<Qt::MouseButton> downs;
  QObject::connect(&panel, &TCustomPanel::Clicked, [&clicks] { ++clicks; });
  QObject::connect(
      &panel, &TCustomPanel::OnMouseDown,
      [&downs](Qt::MouseButton b, Qt::KeyboardModifiers, int, int) { downs.push_back(b); });
  QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 1);
  QTest::mousePress(&panel, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(60, 5));
  EXPECT_EQ(clicks, 1) << "released outside";
  QTest::mouseClick(&panel, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 1) << "right button";
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 1) << "release without a press";
  EXPECT_EQ(downs, (std::vector<Qt::MouseButton>{Qt::LeftButton, Qt::LeftButton, Qt::RightButton}));
}

}  // namespace
