#include "tests/widgets/DBGridFixture.h"

#include "widgets/DBGridIndicatorHeader.h"
#include "widgets/DBGridSizes.h"

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QTest>

#include <limits>

using namespace fakeado;

namespace {

int DigitWidth(const TDBGrid* grid) {
  return QFontMetrics(grid->font()).horizontalAdvance(QLatin1Char('0'));
}

}  // namespace

TEST_F(DBGridFixture, ClosedGridShowsOneEmptyUntitledColumnAndRowWithoutIndicator) {
  auto check = [this] {
    EXPECT_EQ(Grid->ColumnCount(), 1);
    EXPECT_EQ(Grid->ColumnWidth(0), 64);
    EXPECT_EQ(Grid->ColumnTitle(0), QString());
    EXPECT_EQ(Grid->model()->rowCount(), 1);
    EXPECT_EQ(Grid->CellText(0, 0), QString());
    EXPECT_EQ(Grid->CurrentRecord(), -1);
    EXPECT_EQ(static_cast<DBGridIndicatorHeader*>(Grid->verticalHeader())->IndicatorRow(), -1);
    EXPECT_FALSE(Grid->VerticalScrollBarShown());
    EXPECT_FALSE(Grid->horizontalHeader()->sectionsMovable());
  };
  check();
  OpenWith(Numbered(5, 3));
  EXPECT_EQ(Grid->ColumnCount(), 3);
  DataSet->Close();
  check();
}

TEST_F(DBGridFixture, TitlesAreTheFieldNamesIncludingMadeUpOnes) {
  OpenWith(Table({Field("a", ado::adInteger), Field("a", ado::adInteger), Field("", ado::adInteger),
                  Field("A", ado::adInteger)},
                 {{Int(1), Int(2), Int(3), Int(4)}}));
  ASSERT_EQ(Grid->ColumnCount(), 4);
  EXPECT_EQ(Grid->ColumnTitle(0), "a");
  EXPECT_EQ(Grid->ColumnTitle(1), "a_1");
  EXPECT_EQ(Grid->ColumnTitle(2), "COLUMN1");
  EXPECT_EQ(Grid->ColumnTitle(3), "A_2");
  EXPECT_EQ(Grid->CellText(0, 3), "4");
}

TEST_F(DBGridFixture, CellsShowDisplayTextAlignedByField) {
  OpenWith(
      Table({Field("name", ado::adVarWChar, 20), Field("n", ado::adInteger),
             Field("memo", ado::adLongVarWChar), Field("raw", ado::adVarBinary, 8)},
            {{Text("x"), Int(-12), Text("long"), Bytes("AB")}, {Null(), Null(), Null(), Null()}}));
  EXPECT_EQ(Grid->CellText(0, 0), "x");
  EXPECT_EQ(Grid->CellText(0, 1), "-12");
  EXPECT_EQ(Grid->CellText(0, 2), "(WIDEMEMO)");
  EXPECT_EQ(Grid->CellText(0, 3), "(VARBYTES)");
  EXPECT_EQ(Grid->CellText(1, 0), "");
  EXPECT_EQ(Grid->CellText(1, 2), "(WideMemo)");
  EXPECT_EQ(Grid->CellText(1, 3), "(VarBytes)");
  const auto alignment = [this](int column) {
    return Grid->model()->index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
  };
  EXPECT_TRUE(alignment(1) & Qt::AlignRight);
  EXPECT_TRUE(alignment(0) & Qt::AlignLeft);
  EXPECT_TRUE(alignment(2) & Qt::AlignLeft);
}

TEST_F(DBGridFixture, ColumnWidthsFollowDisplayWidthAndTheTitleMinimum) {
  const QString longTitle = "a_rather_long_column_title";
  OpenWith(
      Table({Field("t", ado::adVarWChar, 30), Field("i", ado::adInteger), Field("b", ado::adBigInt),
             Field(longTitle, ado::adBoolean), Field("d", ado::adDBTimeStamp)},
            {{Text("x"), Int(1), Int(2), Bool(true), Date(1.0)}}));
  const int digit = DigitWidth(Grid);
  EXPECT_EQ(Grid->ColumnWidth(0), digit * 30 + 4);  // text: its defined size
  EXPECT_EQ(Grid->ColumnWidth(1), digit * 10 + 4);
  EXPECT_EQ(Grid->ColumnWidth(2), digit * 15 + 4);
  EXPECT_EQ(Grid->ColumnWidth(4), digit * 18 + 4);
  const int titleWidth = QFontMetrics(Grid->TitleFont()).horizontalAdvance(longTitle);
  ASSERT_GT(titleWidth + 4, digit * 5 + 4);
  EXPECT_EQ(Grid->ColumnWidth(3), titleWidth + 4);
}

TEST_F(DBGridFixture, RowAndTitleHeightsComeFromTheFonts) {
  const int text = QFontMetrics(Grid->font()).height();
  EXPECT_EQ(Grid->RowHeight(), text + 4);
  EXPECT_EQ(Grid->TitleHeight(), QFontMetrics(Grid->TitleFont()).height() + 4);
  EXPECT_EQ(Grid->IndicatorWidth(), 11);

  // A bigger title font makes the title row taller and the title minimum wider.
  QFont big = Grid->font();
  big.setPixelSize(20);
  Grid->SetTitleFont(big);
  EXPECT_EQ(Grid->TitleHeight(), QFontMetrics(big).height() + 4);
  EXPECT_EQ(Grid->RowHeight(), text + 4);
  OpenWith(Table({Field("wide_title_here", ado::adBoolean)}, {{Bool(false)}}));
  EXPECT_EQ(Grid->ColumnWidth(0), QFontMetrics(big).horizontalAdvance("wide_title_here") + 4);
}

TEST_F(DBGridFixture, TitleFontFollowsTheGridFontUntilSet) {
  QFont other = Window.font();
  other.setPixelSize(15);
  Window.setFont(other);
  QApplication::processEvents();
  EXPECT_EQ(Grid->TitleFont().pixelSize(), 15);
  EXPECT_EQ(Grid->RowHeight(), QFontMetrics(other).height() + 4);
}

TEST_F(DBGridFixture, IndicatorMarksTheCurrentRecordWithTheTriangle) {
  OpenWith(Numbered(10, 2));
  auto* indicator = static_cast<DBGridIndicatorHeader*>(Grid->verticalHeader());
  EXPECT_EQ(indicator->IndicatorRow(), 0);
  DataSet->SetRecordIndex(3);
  EXPECT_EQ(Grid->CurrentRecord(), 3);
  EXPECT_EQ(indicator->IndicatorRow(), 3);

  const QImage image = Grid->grab().toImage();
  const auto rowRect = [&](int row) {
    const QPoint origin =
        indicator->mapTo(Grid, QPoint(0, indicator->sectionViewportPosition(row)));
    return QRect(origin, QSize(indicator->width(), indicator->sectionSize(row)));
  };
  const auto blackIn = [&](const QRect& r) {
    int black = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        if (image.pixelColor(x, y) == Qt::black) ++black;
    return black;
  };
  const QRect current = rowRect(3);
  const QRect arrow = DBGridIndicatorHeader::ArrowRect(current);
  // 1+2+3+4+5+6+5+4+3+2+1 pixels, all inside the 6 x 11 box, 2 pixels from the right edge.
  EXPECT_EQ(blackIn(arrow), 36);
  EXPECT_EQ(blackIn(current), 36);
  const int middle = arrow.top() + 5;
  for (int x = arrow.left(); x < arrow.left() + 6; ++x)
    EXPECT_EQ(image.pixelColor(x, middle), QColor(Qt::black)) << x;
  EXPECT_NE(image.pixelColor(current.left() + 9, middle), QColor(Qt::black));
  EXPECT_EQ(blackIn(rowRect(2)), 0);
  EXPECT_EQ(blackIn(rowRect(4)), 0);
}

TEST_F(DBGridFixture, EmptyResultShowsTitlesAndOneEmptyRowWithoutIndicator) {
  OpenWith(Table({Field("x", ado::adInteger), Field("y", ado::adVarWChar, 5)}));
  EXPECT_EQ(Grid->ColumnCount(), 2);
  EXPECT_EQ(Grid->ColumnTitle(1), "y");
  EXPECT_EQ(Grid->model()->rowCount(), 1);
  EXPECT_EQ(Grid->CellText(0, 0), "");
  EXPECT_EQ(Grid->CurrentRecord(), -1);
  EXPECT_EQ(static_cast<DBGridIndicatorHeader*>(Grid->verticalHeader())->IndicatorRow(), -1);
}

TEST_F(DBGridFixture, VerticalScrollBarOnlyForMoreThanOneRecord) {
  OpenWith(Numbered(0, 1));
  EXPECT_FALSE(Grid->VerticalScrollBarShown());
  DataSet->Close();
  OpenWith(Numbered(1, 1));
  EXPECT_FALSE(Grid->VerticalScrollBarShown());
  DataSet->Close();
  OpenWith(Numbered(2, 1));
  EXPECT_TRUE(Grid->VerticalScrollBarShown());
  DataSet->Close();
  EXPECT_FALSE(Grid->VerticalScrollBarShown());
}

TEST_F(DBGridFixture, ResizingAColumnSetsDisplayWidthUntilTheDataSetCloses) {
  OpenWith(Numbered(3, 2));
  const int computed = Grid->ColumnWidth(0);
  Grid->horizontalHeader()->resizeSection(0, 100);
  const int average = QFontMetrics(Grid->font()).averageCharWidth();
  EXPECT_EQ(DataSet->Fields(0)->DisplayWidth(), (100 + average / 2 - 3) / average);
  // The field's new width changes the layout, but the column keeps what the user gave.
  EXPECT_EQ(Grid->ColumnWidth(0), 100);
  EXPECT_EQ(DataSet->Fields(1)->DisplayWidth(), 12);

  DataSet->Close();
  OpenWith(Numbered(3, 2));
  EXPECT_EQ(Grid->ColumnWidth(0), computed);
  EXPECT_EQ(DataSet->Fields(0)->DisplayWidth(), 12);
}

TEST_F(DBGridFixture, ColumnBordersNeverSizeToContentsNorScrollAndWidthsAreClamped) {
  OpenWith(Numbered(30, 12));
  QHeaderView* titles = Grid->horizontalHeader();
  QScrollBar* across = Grid->horizontalScrollBar();
  across->setValue(3);
  const int widthOf3 = Grid->ColumnWidth(3);
  const QPoint border(titles->sectionViewportPosition(3) + widthOf3 - 1, titles->height() / 2);
  // A double click on the border does nothing (the contents are far narrower).
  QTest::mouseDClick(titles->viewport(), Qt::LeftButton, {}, border);
  EXPECT_EQ(Grid->ColumnWidth(3), widthOf3);
  // Dragging it sizes the column and leaves the grid where it was scrolled to.
  QTest::mousePress(titles->viewport(), Qt::LeftButton, {}, border);
  QTest::mouseMove(titles->viewport(), border + QPoint(30, 0));
  QTest::mouseRelease(titles->viewport(), Qt::LeftButton, {}, border + QPoint(30, 0));
  QApplication::processEvents();
  EXPECT_EQ(Grid->ColumnWidth(3), widthOf3 + 30);
  EXPECT_EQ(across->value(), 3);

  // A DisplayWidth whose width overflows an int, or exceeds what the header takes, is clamped.
  DataSet->Fields(0)->SetDisplayWidth(std::numeric_limits<int>::max() / 2);
  EXPECT_EQ(Grid->ColumnWidth(0), titles->maximumSectionSize());
  DataSet->Fields(1)->SetDisplayWidth(titles->maximumSectionSize());
  EXPECT_EQ(Grid->ColumnWidth(1), titles->maximumSectionSize());
}

TEST_F(DBGridFixture, MovingTheSecondColumnFirstMovesItsField) {
  OpenWith(Numbered(3, 3));
  DataSet->SetRecordIndex(1);
  QHeaderView* titles = Grid->horizontalHeader();
  titles->resizeSection(2, 90);  // the user's width travels with its column
  titles->moveSection(1, 0);
  QApplication::processEvents();

  ASSERT_EQ(DataSet->FieldCount(), 3);
  EXPECT_EQ(DataSet->Fields(0)->FieldName(), "c1");
  EXPECT_EQ(DataSet->Fields(1)->FieldName(), "c0");
  EXPECT_EQ(DataSet->Fields(2)->FieldName(), "c2");
  // The columns map to the fields by position again.
  for (int v = 0; v < 3; ++v) EXPECT_EQ(titles->logicalIndex(v), v);
  EXPECT_EQ(Grid->ColumnTitle(0), "c1");
  EXPECT_EQ(Grid->ColumnTitle(1), "c0");
  EXPECT_EQ(Grid->CellText(2, 0), "r2c1");
  EXPECT_EQ(Grid->CellText(2, 1), "r2c0");
  EXPECT_EQ(Grid->ColumnWidth(2), 90);
  EXPECT_EQ(Grid->CurrentRecord(), 1);

  // A second move starts from the new order: the last column to the front.
  titles->moveSection(2, 0);
  QApplication::processEvents();
  EXPECT_EQ(DataSet->Fields(0)->FieldName(), "c2");
  EXPECT_EQ(DataSet->Fields(1)->FieldName(), "c1");
  EXPECT_EQ(Grid->ColumnWidth(0), 90);
  EXPECT_EQ(Grid->CellText(0, 0), "r0c2");

  // The next execution builds the columns from the result again.
  DataSet->Close();
  OpenWith(Numbered(3, 3));
  EXPECT_EQ(Grid->ColumnTitle(0), "c0");
}

TEST_F(DBGridFixture, ColumnMoveQueuedBeforeACloseIsDropped) {
  OpenWith(Numbered(3, 3));
  Grid->horizontalHeader()->moveSection(1, 0);
  DataSet->Close();
  OpenWith(Numbered(3, 3));
  QApplication::processEvents();
  EXPECT_EQ(DataSet->Fields(0)->FieldName(), "c0");
  EXPECT_EQ(Grid->ColumnTitle(0), "c0");
}

TEST_F(DBGridFixture, FreezesBetweenDisableAndEnableControls) {
  OpenWith(Numbered(40, 2));
  DataSet->DisableControls();
  DataSet->First();
  while (!DataSet->Eof()) DataSet->Next();
  EXPECT_EQ(Grid->CurrentRecord(), 0);
  EXPECT_EQ(static_cast<DBGridIndicatorHeader*>(Grid->verticalHeader())->IndicatorRow(), 0);
  EXPECT_EQ(Grid->TopRecord(), 0);
  DataSet->EnableControls();
  // Shown again where the data set stands, then on its first record after the walk's clean-up.
  EXPECT_EQ(Grid->CurrentRecord(), 39);
  DataSet->First();
  EXPECT_EQ(Grid->CurrentRecord(), 0);
  EXPECT_EQ(Grid->TopRecord(), 0);
}

TEST_F(DBGridFixture, FollowsTheDataSetsMovesAndKeepsTheCurrentRecordInView) {
  OpenWith(Numbered(200, 2));
  DataSet->Last();
  EXPECT_EQ(Grid->CurrentRecord(), 199);
  EXPECT_LE(Grid->TopRecord(), 199);
  EXPECT_GE(Grid->TopRecord() + Grid->VisibleRowCount(), 199);
  DataSet->MoveBy(-150);
  EXPECT_EQ(Grid->CurrentRecord(), 49);
  EXPECT_LE(Grid->TopRecord(), 49);
  EXPECT_GE(Grid->TopRecord() + Grid->VisibleRowCount(), 49);
}

TEST_F(DBGridFixture, BufferCountIsTheRowsShown) {
  OpenWith(Numbered(200, 1));
  const int rows = Grid->viewport()->height();
  EXPECT_EQ(DataSet->BufferCount(), (rows + Grid->RowHeight() - 1) / Grid->RowHeight());
  Grid->resize(713, 400);
  QApplication::processEvents();
  EXPECT_EQ(DataSet->BufferCount(),
            (Grid->viewport()->height() + Grid->RowHeight() - 1) / Grid->RowHeight());
}

TEST_F(DBGridFixture, DataSourceGoneLeavesTheGridEmpty) {
  OpenWith(Numbered(3, 2));
  delete Source;
  Source = nullptr;
  EXPECT_EQ(Grid->DataSource(), nullptr);
  EXPECT_EQ(Grid->ColumnCount(), 1);
  EXPECT_EQ(Grid->CurrentRecord(), -1);
  Grid->repaint();
}

TEST_F(DBGridFixture, AHugeValueIsDrawnOnlyAsFarAsItCanBeSeen) {
  // The same first characters, 2,000 of them or 50 million.
  auto open = [this](qsizetype length) {
    DataSet->Close();
    QString value(length, u'x');
    value[0] = u'[';
    OpenWith(fakeado::Table({fakeado::Field("v", ado::adVarWChar, 255)},
                            {{fakeado::Text(value)}, {fakeado::Text("short")}}));
  };
  open(2000);
  const QImage expected = Grid->viewport()->grab().toImage();
  open(50'000'000);
  QElapsedTimer timer;
  timer.start();
  const QImage shown = Grid->viewport()->grab().toImage();
  // Laying out the whole value took seconds and gigabytes per repaint.
  EXPECT_LT(timer.elapsed(), 1500);
  EXPECT_EQ(shown, expected);
}

TEST_F(DBGridFixture, ACutCellShowsAnEllipsisWhereItsTextIsMissing) {
  // A number is right-aligned and cut on the left, a text left-aligned and cut on the right;
  // short values are not cut.
  OpenWith(Table({Field("n", ado::adBigInt), Field("t", ado::adVarWChar, 4)},
                 {{Int(std::numeric_limits<qint64>::min()), Text("a rather long text")},
                  {Int(-7), Text("ab")}}));
  const QImage image = Grid->viewport()->grab().toImage();
  const QFontMetrics metrics(Grid->font());
  const int mark = metrics.horizontalAdvance(QChar(0x2026)) + 1;
  // The ellipsis's dots sit on the baseline: above it, where a digit or letter has ink, its
  // strip of the cell is blank; on the baseline it is not.
  const auto strip = [&](int row, int column, bool left) {
    const QRect cell = Grid->visualRect(Grid->model()->index(row, column));
    const int from = left ? cell.left() + 1 : cell.right() + 1 - mark;
    const int baseline = cell.top() + 2 + metrics.ascent();
    int inkAbove = 0;
    int inkOn = 0;
    const QRgb base = image.pixel(cell.left() + 1, cell.top() + 1);
    for (int x = from; x < from + mark - 1; ++x) {
      for (int y = baseline - metrics.ascent() + 1; y < baseline - 3; ++y)
        inkAbove += image.pixel(x, y) != base;
      for (int y = baseline - 2; y < baseline; ++y) inkOn += image.pixel(x, y) != base;
    }
    return std::pair{inkAbove, inkOn};
  };
  EXPECT_EQ(strip(0, 0, true).first, 0);
  EXPECT_GT(strip(0, 0, true).second, 0);
  EXPECT_EQ(strip(0, 1, false).first, 0);
  EXPECT_GT(strip(0, 1, false).second, 0);
  EXPECT_EQ(strip(1, 0, true), std::pair(0, 0));
  EXPECT_EQ(Grid->CellText(0, 0), "-9223372036854775808");
}
