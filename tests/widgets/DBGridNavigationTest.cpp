#include "tests/widgets/DBGridFixture.h"
#include "widgets/DBGridModel.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

using namespace fakeado;

namespace {

void Key(TDBGrid* grid, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(grid, key, modifiers);
}

void Wheel(TDBGrid* grid, int delta) {
  const QPointF at = grid->viewport()->rect().center();
  QWheelEvent event(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(grid->viewport(), &event);
}

}  // namespace

class DBGridKeys : public DBGridFixture {
 protected:
  DBGridKeys() {
    OpenWith(Numbered(100, 3));
    Grid->setFocus();
  }
  qint64 Record() const {
    EXPECT_EQ(Grid->CurrentRecord(), DataSet->RecordIndex());
    return DataSet->RecordIndex();
  }
};

TEST_F(DBGridKeys, UpDownAndPagesMoveTheRecord) {
  Key(Grid, Qt::Key_Down);
  Key(Grid, Qt::Key_Down);
  EXPECT_EQ(Record(), 2);
  Key(Grid, Qt::Key_Up);
  EXPECT_EQ(Record(), 1);
  Key(Grid, Qt::Key_Up);
  Key(Grid, Qt::Key_Up);
  EXPECT_EQ(Record(), 0);

  const int page = Grid->VisibleRowCount();
  ASSERT_GT(page, 3);
  Key(Grid, Qt::Key_PageDown);
  EXPECT_EQ(Record(), page);
  Key(Grid, Qt::Key_PageDown);
  EXPECT_EQ(Record(), 2 * page);
  Key(Grid, Qt::Key_PageUp);
  EXPECT_EQ(Record(), page);
  for (int i = 0; i < 200 / page + 1; ++i) Key(Grid, Qt::Key_PageDown);
  EXPECT_EQ(Record(), 99);
  Key(Grid, Qt::Key_Down);
  EXPECT_EQ(Record(), 99);
  EXPECT_EQ(DataSet->RecordCount(), 100);  // never a new record
}

TEST_F(DBGridKeys, CtrlKeysGoToTheEdgesOfTheViewAndOfTheResult) {
  Key(Grid, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(Record(), 99);
  Key(Grid, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(Record(), 0);
  EXPECT_EQ(Grid->SelectedColumn(), 0);

  DataSet->SetRecordIndex(50);
  const qint64 top = Grid->TopRecord();
  const qint64 bottom = top + Grid->VisibleRowCount() - 1;
  ASSERT_LE(top, 50);
  ASSERT_GE(bottom, 50);
  Key(Grid, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Record(), top);
  Key(Grid, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(Record(), bottom);
  Key(Grid, Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(Record(), top);
  Key(Grid, Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(Record(), bottom);
  EXPECT_EQ(Grid->TopRecord(), top);  // staying inside the view scrolls nothing
}

TEST_F(DBGridKeys, ColumnKeys) {
  DataSet->SetRecordIndex(5);
  Key(Grid, Qt::Key_Right);
  EXPECT_EQ(Grid->SelectedColumn(), 1);
  Key(Grid, Qt::Key_Right);
  Key(Grid, Qt::Key_Right);
  EXPECT_EQ(Grid->SelectedColumn(), 2);
  Key(Grid, Qt::Key_Left);
  EXPECT_EQ(Grid->SelectedColumn(), 1);
  Key(Grid, Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(Grid->SelectedColumn(), 0);
  Key(Grid, Qt::Key_Left);
  EXPECT_EQ(Grid->SelectedColumn(), 0);
  Key(Grid, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(Grid->SelectedColumn(), 2);
  Key(Grid, Qt::Key_Home);
  EXPECT_EQ(Grid->SelectedColumn(), 0);
  Key(Grid, Qt::Key_End);
  EXPECT_EQ(Grid->SelectedColumn(), 2);
  EXPECT_EQ(Record(), 5);  // columns only
}

TEST_F(DBGridKeys, TabWrapsAcrossRecords) {
  DataSet->SetRecordIndex(4);
  Key(Grid, Qt::Key_Tab);
  Key(Grid, Qt::Key_Tab);
  EXPECT_EQ(Grid->SelectedColumn(), 2);
  EXPECT_EQ(Record(), 4);
  Key(Grid, Qt::Key_Tab);  // last column: next record's first
  EXPECT_EQ(Grid->SelectedColumn(), 0);
  EXPECT_EQ(Record(), 5);
  Key(Grid, Qt::Key_Tab, Qt::ShiftModifier);  // first column: previous record's last
  EXPECT_EQ(Grid->SelectedColumn(), 2);
  EXPECT_EQ(Record(), 4);
  Key(Grid, Qt::Key_Backtab);
  EXPECT_EQ(Grid->SelectedColumn(), 1);
  EXPECT_TRUE(Grid->hasFocus());

  DataSet->Last();
  Key(Grid, Qt::Key_End);
  Key(Grid, Qt::Key_Tab);  // last record: its own first column
  EXPECT_EQ(Grid->SelectedColumn(), 0);
  EXPECT_EQ(Record(), 99);
  DataSet->First();
  Key(Grid, Qt::Key_Home);
  Key(Grid, Qt::Key_Backtab);  // first record: its own last column
  EXPECT_EQ(Grid->SelectedColumn(), 2);
  EXPECT_EQ(Record(), 0);

  // Ctrl+Tab and Ctrl+Shift+Tab leave the grid, forwards and backwards.
  auto* before = new QLineEdit(&Window);
  auto* after = new QLineEdit(&Window);
  QWidget::setTabOrder(before, Grid);
  QWidget::setTabOrder(Grid, after);
  before->show();
  after->show();
  Grid->setFocus();
  Key(Grid, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(Window.focusWidget(), after);
  Grid->setFocus();
  Key(Grid, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Window.focusWidget(), before);
  EXPECT_EQ(Grid->SelectedColumn(), 2);
  EXPECT_EQ(Record(), 0);
}

TEST_F(DBGridKeys, EditingKeysDoNothing) {
  DataSet->SetRecordIndex(3);
  Key(Grid, Qt::Key_Right);
  for (Qt::Key key :
       {Qt::Key_Insert, Qt::Key_F2, Qt::Key_Escape, Qt::Key_Return, Qt::Key_A, Qt::Key_Space})
    Key(Grid, key);
  Key(Grid, Qt::Key_Delete, Qt::ControlModifier);
  QTest::keyClicks(Grid, "r0c0");  // no keyboard search either
  EXPECT_EQ(Record(), 3);
  EXPECT_EQ(Grid->SelectedColumn(), 1);
  EXPECT_EQ(DataSet->RecordCount(), 100);
  EXPECT_FALSE(Grid->model()->flags(Grid->model()->index(3, 1)) & Qt::ItemIsEditable);
  EXPECT_EQ(Grid->findChild<QLineEdit*>(), nullptr);
  EXPECT_EQ(Grid->CellText(3, 1), "r3c1");
}

TEST_F(DBGridKeys, HomeAndEndMoveRecordsWithOnlyOneColumn) {
  DataSet->Close();
  OpenWith(Numbered(30, 1));
  DataSet->SetRecordIndex(10);
  Key(Grid, Qt::Key_End);
  EXPECT_EQ(Record(), 29);
  Key(Grid, Qt::Key_Home);
  EXPECT_EQ(Record(), 0);
}

TEST_F(DBGridKeys, ClickSelectsCellAndRecord) {
  const QRect cell = Grid->visualRect(Grid->model()->index(3, 2));
  QTest::mouseClick(Grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
  EXPECT_EQ(Record(), 3);
  EXPECT_EQ(Grid->SelectedColumn(), 2);
  QTest::mouseDClick(Grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
  EXPECT_FALSE(Grid->model()->flags(Grid->model()->index(3, 1)) & Qt::ItemIsEditable);
  EXPECT_EQ(Grid->findChild<QLineEdit*>(), nullptr);
}

TEST_F(DBGridKeys, WheelMovesOneRecordPerNotch) {
  Wheel(Grid, -120);
  EXPECT_EQ(Record(), 1);
  Wheel(Grid, -240);
  EXPECT_EQ(Record(), 3);
  Wheel(Grid, 120);
  EXPECT_EQ(Record(), 2);
  Wheel(Grid, -60);  // half a notch waits for the other half
  EXPECT_EQ(Record(), 2);
  Wheel(Grid, -60);
  EXPECT_EQ(Record(), 3);
}

TEST_F(DBGridKeys, TitleClickDoesNotSort) {
  DataSet->Close();
  OpenWith(Table({Field("n", ado::adInteger)}, {{Int(3)}, {Int(1)}, {Int(2)}}));
  QHeaderView* titles = Grid->horizontalHeader();
  QTest::mouseClick(titles->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(titles->sectionViewportPosition(0) + 10, titles->height() / 2));
  EXPECT_EQ(Grid->CellText(0, 0), "3");
  EXPECT_EQ(Grid->CellText(1, 0), "1");
  EXPECT_FALSE(Grid->isSortingEnabled());
}

TEST_F(DBGridKeys, TheScrollBarStandsForTheCurrentRecord) {
  QScrollBar* bar = Grid->RecordScrollBar();
  const int visible = Grid->VisibleRowCount();
  ASSERT_TRUE(bar->isVisibleTo(Grid));
  // Range 1 to RecordCount + visible rows - 1 with a page of the visible rows (Qt's maximum
  // leaves the page out), position the current record's number.
  EXPECT_EQ(bar->minimum(), 1);
  EXPECT_EQ(bar->maximum() + bar->pageStep() - 1, 100 + visible - 1);
  EXPECT_EQ(bar->pageStep(), visible);
  EXPECT_EQ(bar->value(), 1);
  Key(Grid, Qt::Key_Down);
  Key(Grid, Qt::Key_Down);
  EXPECT_EQ(bar->value(), 3);
  // Dragging the thumb to a number moves to that record; a page click moves a page.
  bar->setSliderPosition(60);
  EXPECT_EQ(Record(), 59);
  EXPECT_GE(Grid->TopRecord() + visible - 1, 59);
  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(Record(), 59 - visible);
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(Record(), 99);
  EXPECT_EQ(bar->value(), 100);
}

TEST_F(DBGridFixture, KeysAndClicksDoNothingWhileClosed) {
  Grid->setFocus();
  for (Qt::Key key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Right, Qt::Key_Tab,
                      Qt::Key_Insert, Qt::Key_F2})
    Key(Grid, key);
  Key(Grid, Qt::Key_End, Qt::ControlModifier);
  QTest::mouseClick(Grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 5));
  Wheel(Grid, -120);
  EXPECT_EQ(Grid->CurrentRecord(), -1);
  EXPECT_EQ(Grid->SelectedColumn(), 0);
  EXPECT_EQ(Grid->ColumnCount(), 1);
  EXPECT_FALSE(DataSet->Active());
}

TEST_F(DBGridFixture, TabStaysOnAnEmptyResult) {
  OpenWith(Table({Field("x", ado::adInteger), Field("y", ado::adInteger)}));
  Grid->setFocus();
  Key(Grid, Qt::Key_Tab);
  EXPECT_EQ(Grid->SelectedColumn(), 1);
  Key(Grid, Qt::Key_Tab);
  EXPECT_EQ(Grid->SelectedColumn(), 0);
  Key(Grid, Qt::Key_Down);
  EXPECT_EQ(Grid->CurrentRecord(), -1);
}

// The view keeps bytes for every row it is given: a result far longer than a screen reaches it
// as a window of records that moves with the current one, every row showing its own record.
TEST_F(DBGridFixture, AResultLongerThanTheViewsWindowShowsEveryRecordInItsPlace) {
  const int records = DBGridModel::kWindowRows * 2 + 100;
  OpenWith(Numbered(records, 2));
  Grid->setFocus();
  EXPECT_LE(Grid->verticalHeader()->count(), DBGridModel::kWindowRows);
  const auto expectInPlace = [this] {
    const qint64 record = DataSet->RecordIndex();
    EXPECT_EQ(Grid->currentIndex().siblingAtColumn(0).data().toString(),
              QStringLiteral("r%1c0").arg(record));
    EXPECT_EQ(Grid->model()->index(Grid->rowAt(0), 0).data().toString(),
              QStringLiteral("r%1c0").arg(Grid->TopRecord()));
    EXPECT_LE(Grid->TopRecord(), record);
    EXPECT_GE(Grid->TopRecord() + Grid->VisibleRowCount(), record);
  };
  Key(Grid, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(DataSet->RecordIndex(), records - 1);
  expectInPlace();
  // A click picks the record shown under it.
  const int row = Grid->rowAt(0) + 1;
  QTest::mouseClick(Grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                    Grid->visualRect(Grid->model()->index(row, 1)).center());
  EXPECT_EQ(Grid->model()->index(row, 1).data().toString(),
            QStringLiteral("r%1c1").arg(DataSet->RecordIndex()));
  // Across the window's start, a page at a time and a record at a time.
  Grid->RecordScrollBar()->setSliderPosition(DBGridModel::kWindowRows +
                                             3 * Grid->VisibleRowCount());
  expectInPlace();
  for (int i = 0; i < 8; ++i) {
    Key(Grid, Qt::Key_PageUp);
    expectInPlace();
  }
  const qint64 top = Grid->TopRecord();
  Key(Grid, Qt::Key_Up, Qt::ControlModifier);
  Key(Grid, Qt::Key_Up);
  EXPECT_EQ(DataSet->RecordIndex(), top - 1);
  EXPECT_EQ(Grid->TopRecord(), top - 1);
  expectInPlace();
}
