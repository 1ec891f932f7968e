#include "widgets/DBGridIndicatorHeader.h"
#include "widgets/DBGridSizes.h"

#include <gtest/gtest.h>

#include <limits>

using namespace dbgrid;

TEST(DBGridSizes, ColumnWidthCountsDigitsAndNeverFallsBelowTheTitle) {
  // 7-pixel digits, 10 characters: 70 + 4.
  EXPECT_EQ(FieldColumnWidth(7, 0, 10, 20), 74);
  // The overhang is taken off every digit and added back once.
  EXPECT_EQ(FieldColumnWidth(7, 1, 10, 20), 6 * 10 + 1 + 4);
  // A boolean column (5 characters) under a long title takes the title's width + 4.
  EXPECT_EQ(FieldColumnWidth(7, 0, 5, 90), 94);
  // Nothing caps a wide text column, but the width does not overflow.
  EXPECT_EQ(FieldColumnWidth(7, 0, 255, 10), 7 * 255 + 4);
  EXPECT_EQ(FieldColumnWidth(7, 0, std::numeric_limits<int>::max(), 10),
            std::numeric_limits<int>::max());
}

TEST(DBGridSizes, DraggedWidthGivesDisplayWidthByIntegerDivision) {
  // (W + a/2 - o - 3) div a
  EXPECT_EQ(DisplayWidthForColumn(100, 6, 0), (100 + 3 - 3) / 6);  // 16
  EXPECT_EQ(DisplayWidthForColumn(74, 7, 0), (74 + 3 - 3) / 7);    // 10: a/2 rounds down
  EXPECT_EQ(DisplayWidthForColumn(74, 7, 2), (74 + 3 - 2 - 3) / 7);
  EXPECT_EQ(DisplayWidthForColumn(20, 5, 0), 3);  // 19 div 5
  // A degenerate font cannot divide by zero.
  EXPECT_EQ(DisplayWidthForColumn(20, 0, 0), 17);
}

TEST(DBGridSizes, ComputedWidthSurvivesTheRoundTripThroughDisplayWidth) {
  // Dragging a column to exactly its computed width keeps the field's DisplayWidth.
  for (int digit = 5; digit <= 9; ++digit)
    for (int chars : {1, 5, 10, 15, 18, 38, 255})
      EXPECT_EQ(DisplayWidthForColumn(FieldColumnWidth(digit, 0, chars, 0), digit, 0), chars)
          << digit << " " << chars;
}

TEST(DBGridSizes, RowHeightsFromTextHeight) {
  EXPECT_EQ(DataRowHeight(13), 17);  // text + grid line + 3
  EXPECT_EQ(TitleRowHeight(13), 17);
  EXPECT_EQ(DataRowHeight(14), 18);
  EXPECT_EQ(TitleRowHeight(16), 20);
}

TEST(DBGridIndicator, ArrowSitsTwoPixelsFromTheRightEdgeCentredVertically) {
  const QRect arrow = DBGridIndicatorHeader::ArrowRect(QRect(0, 40, 11, 17));
  EXPECT_EQ(arrow.width(), 6);
  EXPECT_EQ(arrow.height(), 11);
  EXPECT_EQ(arrow.left() + arrow.width(), 11 - 2);
  EXPECT_EQ(arrow.top() - 40, 3);
  EXPECT_EQ(40 + 17 - (arrow.top() + arrow.height()), 3);
}
