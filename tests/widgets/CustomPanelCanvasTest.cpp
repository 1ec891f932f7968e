#include <gtest/gtest.h>

#include <QPainter>

#include <set>
#include <utility>

#include "widgets/TBitmap.h"
#include "widgets/TCanvas.h"

namespace {

const QRgb kWhite = 0xFFFFFF;

// A white 12 x 8 picture with its canvas open for drawing.
class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bitmap.SetWidth(12);
    bitmap.SetHeight(8);
    bitmap.BeginDraw(QPalette());
    canvas().SetBrushColor(RGBColor(255, 255, 255));
    canvas().FillRect(0, 0, 12, 8);
  }
  TCanvas& canvas() { return bitmap.Canvas(); }
  // The pixels that are not white, once drawing is done.
  std::set<std::pair<int, int>> Marked() {
    bitmap.EndDraw();
    std::set<std::pair<int, int>> marked;
    for (int y = 0; y < bitmap.Height(); ++y) {
      for (int x = 0; x < bitmap.Width(); ++x) {
        if ((bitmap.Image().pixel(x, y) & 0xFFFFFF) != kWhite) marked.insert({x, y});
      }
    }
    return marked;
  }
  TBitmap bitmap;
};

TEST_F(CanvasTest, EmptyOrCrossedBoxesPaintNothing) {
  canvas().SetBrushColor(clBlack);
  canvas().FillRect(4, 4, 4, 6);
  canvas().FillRect(6, 2, 3, 5);
  canvas().FillRect(1, 5, 3, 2);
  canvas().Ellipse(5, 5, 5, 7);
  canvas().Ellipse(7, 1, 2, 6);
  EXPECT_TRUE(Marked().empty());
}

TEST_F(CanvasTest, ClearBrushFillsNothingUntilAColourIsSet) {
  canvas().SetBrushColor(clBlack);
  canvas().SetBrushStyle(bsClear);
  canvas().FillRect(0, 0, 3, 3);
  EXPECT_EQ(canvas().BrushStyle(), bsClear);
  canvas().SetBrushColor(clBlack);
  EXPECT_EQ(canvas().BrushStyle(), bsSolid);
  canvas().FillRect(0, 0, 1, 1);
  EXPECT_EQ(Marked(), (std::set<std::pair<int, int>>{{0, 0}}));
}

TEST_F(CanvasTest, LinesLeaveOutTheirEndPixelInEveryDirection) {
  canvas().SetPenColor(clBlack);
  canvas().MoveTo(1, 1);
  canvas().LineTo(4, 1);  // right
  canvas().LineTo(4, 3);  // down
  canvas().LineTo(2, 3);  // left
  canvas().LineTo(2, 2);  // up
  EXPECT_EQ(canvas().PenPos(), QPoint(2, 2));
  EXPECT_EQ(Marked(), (std::set<std::pair<int, int>>{
                          {1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}, {3, 3}, {2, 3}}));
}

TEST_F(CanvasTest, DiagonalLineStopsShortOfItsTarget) {
  canvas().SetPenColor(clBlack);
  canvas().MoveTo(0, 0);
  canvas().LineTo(3, 3);
  canvas().MoveTo(9, 0);
  canvas().LineTo(6, 6);  // steep: one pixel per row
  const auto marked = Marked();
  EXPECT_TRUE(marked.count({0, 0}) && marked.count({1, 1}) && marked.count({2, 2}));
  EXPECT_FALSE(marked.count({3, 3}));
  EXPECT_FALSE(marked.count({6, 6}));
  int steepPixels = 0;
  for (const auto& [x, y] : marked) steepPixels += x >= 6 ? 1 : 0;
  EXPECT_EQ(steepPixels, 6);
}

TEST_F(CanvasTest, ClearPenMovesWithoutDrawing) {
  canvas().SetPenStyle(psClear);
  canvas().MoveTo(0, 0);
  canvas().LineTo(5, 0);
  EXPECT_EQ(canvas().PenPos(), QPoint(5, 0));
  EXPECT_TRUE(Marked().empty());
}

TEST(BitmapTest, ResizeKeepsTheOldPictureAtTheTopLeft) {
  TBitmap bitmap;
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(bitmap.Height(), 0);
  bitmap.BeginDraw(QPalette());  // nothing to draw on: the calls are ignored
  bitmap.Canvas().SetBrushColor(clBlack);
  bitmap.Canvas().FillRect(0, 0, 5, 5);
  bitmap.EndDraw();
  bitmap.SetWidth(3);
  bitmap.SetHeight(2);
  bitmap.BeginDraw(QPalette());
  bitmap.Canvas().SetBrushColor(RGBColor(1, 2, 3));
  bitmap.Canvas().FillRect(0, 0, 3, 2);
  bitmap.EndDraw();
  bitmap.SetWidth(5);
  bitmap.SetHeight(4);
  EXPECT_EQ(bitmap.Image().pixel(2, 1) & 0xFFFFFF, qRgb(1, 2, 3) & 0xFFFFFF);
  EXPECT_EQ(bitmap.Image().pixel(0, 0) & 0xFFFFFF, qRgb(1, 2, 3) & 0xFFFFFF);
  EXPECT_EQ(bitmap.Image().pixel(4, 3) & 0xFFFFFF, 0u) << "new pixels start black";
  bitmap.SetWidth(2);
  EXPECT_EQ(bitmap.Width(), 2);
  EXPECT_EQ(bitmap.Image().pixel(1, 1) & 0xFFFFFF, qRgb(1, 2, 3) & 0xFFFFFF);
}

TEST(ColorTest, PlainAndSystemColours) {
  QPalette colours;
  colours.setColor(QPalette::Button, QColor(11, 12, 13));
  colours.setColor(QPalette::Light, QColor(21, 22, 23));
  EXPECT_EQ(ColorToQColor(RGBColor(1, 2, 3), colours), QColor(1, 2, 3));
  EXPECT_EQ(ColorToQColor(clTeal, colours), QColor(0, 128, 128));
  EXPECT_EQ(ColorToQColor(clBtnFace, colours), QColor(11, 12, 13));
  EXPECT_EQ(ColorToQColor(clBtnHighlight, colours), QColor(21, 22, 23));
  EXPECT_EQ(clBtnFace, 0xFF00000Fu);
  EXPECT_EQ(clBtnShadow, 0xFF000010u);
  EXPECT_EQ(clBtnHighlight, 0xFF000014u);
  EXPECT_EQ(clSilver, RGBColor(192, 192, 192));
  EXPECT_TRUE(IsSystemColor(clWindowText));
  EXPECT_FALSE(IsSystemColor(clGray));
}

}  // namespace
