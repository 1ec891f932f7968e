#include "widgets/TDBGrid.h"

#include "base/HandlerGuard.h"
#include "data/TADODataSet.h"
#include "data/TDataSource.h"
#include "data/TField.h"
#include "widgets/DBGridCellDelegate.h"
#include "widgets/DBGridIndicatorHeader.h"
#include "widgets/DBGridModel.h"
#include "widgets/DBGridSizes.h"
#include "widgets/DBGridTitleHeader.h"

#include <QKeyEvent>
#include <QMetaObject>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <vector>

namespace {

// Virtual event handlers are Qt's frames too: nothing may leave them.
template <typename Body>
void RunGuarded(Body body) {
  Guarded(std::move(body))();
}

bool IsNavigationKey(int key) {
  switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return true;
    default:
      return false;
  }
}

// Keys a data grid takes and does nothing with, being read-only: no editor, no new record.
bool IsSwallowedKey(const QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Insert:
    case Qt::Key_F2:
    case Qt::Key_Delete:
    case Qt::Key_Enter:
    case Qt::Key_Return:
      return true;
    default:
      break;
  }
  const QString text = event->text();
  return !text.isEmpty() && text.at(0).isPrint();
}

}  // namespace

TDBGrid::TDBGrid(QWidget* parent)
    : QTableView(parent),
      FModel(new DBGridModel(this)),
      FIndicator(new DBGridIndicatorHeader(this)),
      FRecordBar(new QScrollBar(Qt::Vertical, this)),
      FTitleFont(font()) {
  auto* titles = new DBGridTitleHeader(this);
  setHorizontalHeader(titles);
  setVerticalHeader(FIndicator);
  setModel(FModel);
  setItemDelegate(new DBGridCellDelegate(
      [this](const QModelIndex& index) { return IsSelectedCell(index); }, this));

  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::NoSelection);
  setSortingEnabled(false);
  setCornerButtonEnabled(false);
  setTabKeyNavigation(true);
  setShowGrid(true);
  setWordWrap(false);
  setAutoScroll(false);
  setDragEnabled(false);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  titles->setSectionResizeMode(QHeaderView::Interactive);
  titles->setStretchLastSection(false);

  // The view's own vertical bar only scrolls the rows, its position being the top row; the one
  // the user sees stands for the current record, as a data grid's does.
  verticalScrollBar()->hide();
  FRecordBar->setObjectName(QStringLiteral("RecordScrollBar"));
  addScrollBarWidget(FRecordBar, Qt::AlignTop);
  connect(FRecordBar, &QScrollBar::valueChanged, this,
          Guarded([this](int position) { RecordBarMoved(position); }));
  connect(titles, &QHeaderView::sectionResized, this,
          Guarded([this](int column, int oldWidth, int newWidth) {
            ColumnResized(column, oldWidth, newWidth);
          }));
  connect(titles, &QHeaderView::sectionMoved, this,
          Guarded([this](int logical, int oldVisual, int newVisual) {
            ColumnMoved(logical, oldVisual, newVisual);
          }));
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
          Guarded([this](int) { ScrolledByUser(); }));

  ApplyFonts();
  Rebuild();
}

TDBGrid::~TDBGrid() = default;

TDataSource* TDBGrid::DataSource() const {
  return FDataSource;
}

void TDBGrid::SetDataSource(TDataSource* source) {
  if (source == FDataSource) return;
  if (FDataSource != nullptr) disconnect(FDataSource, nullptr, this, nullptr);
  FDataSource = source;
  if (source != nullptr) {
    connect(source, &TDataSource::StateChanged, this, Guarded([this] { StateChanged(); }));
    connect(source, &TDataSource::DataSetChanged, this, Guarded([this] { DataSetChanged(); }));
    connect(source, &TDataSource::LayoutChanged, this, Guarded([this] { LayoutChanged(); }));
    connect(source, &TDataSource::RecordMoved, this, Guarded([this] { RecordMoved(); }));
    connect(source, &QObject::destroyed, this, Guarded([this](QObject*) { StateChanged(); }));
  }
  StateChanged();
}

void TDBGrid::SetTitleFont(const QFont& font) {
  FTitleFontSet = true;
  if (font == FTitleFont) return;
  FTitleFont = font;
  ApplyFonts();
}

int TDBGrid::ColumnCount() const {
  return FModel->columnCount();
}

int TDBGrid::ColumnWidth(int column) const {
  return columnWidth(column);
}

QString TDBGrid::ColumnTitle(int column) const {
  return FModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

QString TDBGrid::CellText(qint64 recordIndex, int column) const {
  return FModel->CellText(recordIndex, column);
}

int TDBGrid::RowHeight() const {
  return FIndicator->defaultSectionSize();
}

int TDBGrid::TitleHeight() const {
  return horizontalHeader()->height();
}

int TDBGrid::IndicatorWidth() const {
  return FIndicator->width();
}

int TDBGrid::VisibleRowCount() const {
  return std::max(1, viewport()->height() / std::max(1, RowHeight()));
}

qint64 TDBGrid::TopRecord() const {
  return FModel->RecordAt(std::max(0, rowAt(0)));
}

bool TDBGrid::VerticalScrollBarShown() const {
  return verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn && FRecordBar->isVisibleTo(this);
}

TADODataSet* TDBGrid::DataSet() const {
  return FDataSource != nullptr ? FDataSource->DataSet() : nullptr;
}

bool TDBGrid::DataSetActive() const {
  const TADODataSet* dataSet = DataSet();
  return FModel->Active() && dataSet != nullptr && dataSet->Active();
}

bool TDBGrid::Frozen() const {
  const TADODataSet* dataSet = DataSet();
  return dataSet != nullptr && dataSet->ControlsDisabled();
}

void TDBGrid::StateChanged() {
  // Widths and order the user set last only while one result is open.
  FUserWidths.clear();
  Rebuild();
}

void TDBGrid::DataSetChanged() {
  if (FModel->Active() != (DataSet() != nullptr && DataSet()->Active())) {
    Rebuild();
    return;
  }
  FModel->Refresh();
  FollowDataSet();
}

void TDBGrid::LayoutChanged() {
  ApplyLayout();
}

void TDBGrid::RecordMoved() {
  FollowDataSet();
}

void TDBGrid::Rebuild() {
  ++FGeneration;
  TADODataSet* dataSet = DataSet();
  FLayingOut = true;
  FModel->Rebuild(dataSet);
  const bool active = FModel->Active();
  horizontalHeader()->setSectionsMovable(active);
  ApplyColumnWidths();
  FLayingOut = false;

  FCurrentRecord = active ? dataSet->RecordIndex() : -1;
  FSelectedColumn = 0;
  FWheelRemainder = 0;
  UpdateScrollBarPolicy();
  UpdateBufferCount();
  ShowCurrent();
}

void TDBGrid::ApplyLayout() {
  TADODataSet* dataSet = DataSet();
  const bool active = dataSet != nullptr && dataSet->Active();
  int visible = 0;
  if (active)
    for (int i = 0; i < dataSet->FieldCount(); ++i)
      if (dataSet->Fields(i)->Visible()) ++visible;
  if (active != FModel->Active() || (active && visible != FModel->columnCount())) {
    Rebuild();
    return;
  }
  FModel->Refresh();
  ApplyColumnWidths();
  // A column dragged wider or moved leaves the view where the user has it.
  FollowDataSet(false);
}

void TDBGrid::ApplyColumnWidths() {
  const bool wasLayingOut = FLayingOut;
  FLayingOut = true;
  const int digitWidth = dbgrid::DigitWidth(font());
  const int overhang = dbgrid::Overhang(font());
  for (int column = 0; column < FModel->columnCount(); ++column) {
    const TField* field = FModel->FieldOf(column);
    int width = dbgrid::kDefaultColumnWidth;
    if (field != nullptr) {
      const auto user = FUserWidths.constFind(field);
      width = user != FUserWidths.cend()
                  ? *user
                  : dbgrid::FieldColumnWidth(digitWidth, overhang, field->DisplayWidth(),
                                             dbgrid::TextWidth(FTitleFont, field->DisplayName()));
    }
    // A width beyond what the header takes would be ignored, leaving a stale one.
    width = std::min(width, horizontalHeader()->maximumSectionSize());
    if (horizontalHeader()->sectionSize(column) != width)
      horizontalHeader()->resizeSection(column, width);
  }
  FLayingOut = wasLayingOut;
}

void TDBGrid::ApplyFonts() {
  horizontalHeader()->setFont(FTitleFont);
  horizontalHeader()->setFixedHeight(dbgrid::TitleRowHeight(dbgrid::TextHeight(FTitleFont)));
  FIndicator->setDefaultSectionSize(dbgrid::DataRowHeight(dbgrid::TextHeight(font())));
  ApplyColumnWidths();
  UpdateBufferCount();
}

void TDBGrid::UpdateScrollBarPolicy() {
  // The bar appears only when there is somewhere to go: more than one record.
  const bool shown = FModel->Active() && FModel->RecordCount() > 1;
  setVerticalScrollBarPolicy(shown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TDBGrid::UpdateBufferCount() {
  TADODataSet* dataSet = DataSet();
  if (dataSet == nullptr || !FModel->Active()) return;
  // Rows that show at least in part: the data set's record window.
  const int height = std::max(1, RowHeight());
  dataSet->SetBufferCount(std::max(1, (viewport()->height() + height - 1) / height));
}

void TDBGrid::FollowDataSet(bool revealColumn) {
  if (!DataSetActive()) return;
  FCurrentRecord = DataSet()->RecordIndex();
  ShowCurrent(revealColumn);
}

// The view is given a window of the records; it moves, the rows shown staying where they are,
// when the current record comes within a screen of its ends.
void TDBGrid::KeepCurrentInWindow() {
  const qint64 first = FModel->FirstRecord();
  const int rows = FModel->rowCount();
  const qint64 margin = VisibleRowCount();
  const bool nearStart = first > 0 && FCurrentRecord < first + margin;
  const bool nearEnd =
      first + rows < FModel->RecordCount() && FCurrentRecord >= first + rows - margin;
  if (!nearStart && !nearEnd) return;
  const qint64 top = TopRecord();
  if (!FModel->MoveWindowTo(FCurrentRecord - DBGridModel::kWindowRows / 2)) return;
  const qint64 topRow = top - FModel->FirstRecord();
  if (topRow >= 0 && topRow < rows) verticalScrollBar()->setValue(static_cast<int>(topRow));
}

void TDBGrid::ShowCurrent(bool revealColumn) {
  const bool active = FModel->Active();
  FScrolling = true;
  if (active && FCurrentRecord >= 0) KeepCurrentInWindow();
  FScrolling = false;
  const qint64 currentRow = FCurrentRecord - FModel->FirstRecord();
  FIndicator->SetIndicatorRow(active && FCurrentRecord >= 0 && currentRow >= 0 &&
                                      currentRow < FModel->rowCount()
                                  ? static_cast<int>(currentRow)
                                  : -1);
  if (active) {
    const int row =
        FCurrentRecord >= 0
            ? static_cast<int>(std::clamp<qint64>(currentRow, 0, FModel->rowCount() - 1))
            : 0;
    const QModelIndex index = FModel->index(row, FSelectedColumn);
    FScrolling = true;
    const int across = horizontalScrollBar()->value();
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    scrollTo(index, QAbstractItemView::EnsureVisible);
    if (!revealColumn) horizontalScrollBar()->setValue(across);
    FScrolling = false;
  }
  UpdateRecordBar();
  viewport()->update();
}

void TDBGrid::UpdateRecordBar() {
  FSyncingRecordBar = true;
  // The range runs from 1 to RecordCount + visible rows - 1 with a page of the visible rows;
  // Qt counts its maximum without the page, so that is RecordCount.
  const qint64 count = FModel->Active() ? FModel->RecordCount() : 0;
  FRecordBar->setRange(1, static_cast<int>(std::clamp<qint64>(count, 1, INT_MAX)));
  FRecordBar->setPageStep(VisibleRowCount());
  FRecordBar->setSingleStep(1);
  FRecordBar->setValue(static_cast<int>(std::clamp<qint64>(FCurrentRecord + 1, 1, INT_MAX)));
  FSyncingRecordBar = false;
}

void TDBGrid::RecordBarMoved(int position) {
  if (FSyncingRecordBar || !DataSetActive() || Frozen()) return;
  GoToRecord(position - 1);
}

void TDBGrid::GoToRecord(qint64 record) {
  if (!DataSetActive() || FModel->RecordCount() == 0) return;
  const qint64 last = FModel->RecordCount() - 1;
  DataSet()->SetRecordIndex(std::clamp<qint64>(record, 0, last));
  if (!Frozen()) FollowDataSet();
}

void TDBGrid::MoveRecordBy(qint64 distance) {
  if (!DataSetActive() || FModel->RecordCount() == 0) return;
  const qint64 target = std::max<qint64>(0, FCurrentRecord) + distance;
  GoToRecord(target);
}

void TDBGrid::SetSelectedColumn(int column) {
  FSelectedColumn = std::clamp(column, 0, std::max(0, ColumnCount() - 1));
  ShowCurrent();
}

bool TDBGrid::HandleKey(int key, bool ctrl) {
  const int lastColumn = ColumnCount() - 1;
  const qint64 top = TopRecord();
  const qint64 lastVisible = top + VisibleRowCount() - 1;
  switch (key) {
    case Qt::Key_Up:
      ctrl ? GoToRecord(top) : MoveRecordBy(-1);
      return true;
    case Qt::Key_Down:
      ctrl ? GoToRecord(lastVisible) : MoveRecordBy(1);
      return true;
    case Qt::Key_PageUp:
      ctrl ? GoToRecord(top) : MoveRecordBy(-VisibleRowCount());
      return true;
    case Qt::Key_PageDown:
      ctrl ? GoToRecord(lastVisible) : MoveRecordBy(VisibleRowCount());
      return true;
    case Qt::Key_Home:
      if (ctrl || lastColumn == 0)
        GoToRecord(0);
      else
        SetSelectedColumn(0);
      return true;
    case Qt::Key_End:
      if (ctrl || lastColumn == 0)
        GoToRecord(FModel->RecordCount() - 1);
      else
        SetSelectedColumn(lastColumn);
      return true;
    case Qt::Key_Left:
      SetSelectedColumn(ctrl ? 0 : FSelectedColumn - 1);
      return true;
    case Qt::Key_Right:
      SetSelectedColumn(ctrl ? lastColumn : FSelectedColumn + 1);
      return true;
    case Qt::Key_Tab:
      HandleTab(false);
      return true;
    case Qt::Key_Backtab:
      HandleTab(true);
      return true;
    default:
      return false;
  }
}

void TDBGrid::HandleTab(bool backward) {
  const int lastColumn = ColumnCount() - 1;
  if (!backward) {
    if (FSelectedColumn < lastColumn) {
      SetSelectedColumn(FSelectedColumn + 1);
      return;
    }
    // From the last column to the next record's first; the last record keeps its own.
    if (FCurrentRecord + 1 < FModel->RecordCount()) MoveRecordBy(1);
    SetSelectedColumn(0);
    return;
  }
  if (FSelectedColumn > 0) {
    SetSelectedColumn(FSelectedColumn - 1);
    return;
  }
  if (FCurrentRecord > 0) MoveRecordBy(-1);
  SetSelectedColumn(lastColumn);
}

void TDBGrid::keyPressEvent(QKeyEvent* event) {
  RunGuarded([this, event] {
    const int key = event->key();
    if ((event->modifiers() & Qt::AltModifier) != 0) {
      event->ignore();
      return;
    }
    // Ctrl+Tab leaves the grid, where Tab alone moves between its cells.
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) &&
        (event->modifiers() & Qt::ControlModifier) != 0) {
      event->accept();
      QWidget::focusNextPrevChild(key == Qt::Key_Tab &&
                                  (event->modifiers() & Qt::ShiftModifier) == 0);
      return;
    }
    if (IsNavigationKey(key)) {
      // A closed data set leaves nothing to move to; the keys still stay with the grid.
      event->accept();
      if (DataSetActive()) HandleKey(key, (event->modifiers() & Qt::ControlModifier) != 0);
      return;
    }
    if (IsSwallowedKey(event)) {
      event->accept();
      return;
    }
    event->ignore();
  });
}

void TDBGrid::mousePressEvent(QMouseEvent* event) {
  RunGuarded([this, event] {
    event->accept();
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton || !DataSetActive()) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) return;
    FSelectedColumn = index.column();
    if (FModel->RecordAt(index.row()) < FModel->RecordCount())
      GoToRecord(FModel->RecordAt(index.row()));
    else
      ShowCurrent();
  });
}

// Pressing selects the cell; dragging, releasing and double clicks do nothing more in a
// read-only grid, so the view's own selection and editing never start.
void TDBGrid::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
}

void TDBGrid::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
}

void TDBGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
}

void TDBGrid::wheelEvent(QWheelEvent* event) {
  RunGuarded([this, event] {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
      QTableView::wheelEvent(event);
      return;
    }
    event->accept();
    if (!DataSetActive()) return;
    // One record per notch; a fine-grained wheel adds up to notches.
    FWheelRemainder += delta;
    const int notches = FWheelRemainder / QWheelEvent::DefaultDeltasPerStep;
    FWheelRemainder %= QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0) MoveRecordBy(-notches);
  });
}

void TDBGrid::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  RunGuarded([this] {
    UpdateBufferCount();
    if (FModel->Active())
      ShowCurrent();
    else
      UpdateRecordBar();
  });
}

void TDBGrid::changeEvent(QEvent* event) {
  QTableView::changeEvent(event);
  if (event->type() != QEvent::FontChange) return;
  RunGuarded([this] {
    if (!FTitleFontSet) FTitleFont = font();
    ApplyFonts();
  });
}

void TDBGrid::focusInEvent(QFocusEvent* event) {
  QTableView::focusInEvent(event);
  viewport()->update();
}

void TDBGrid::focusOutEvent(QFocusEvent* event) {
  QTableView::focusOutEvent(event);
  viewport()->update();
}

void TDBGrid::ScrolledByUser() {
  if (FScrolling || FLayingOut || !DataSetActive() || Frozen()) return;
  // The current record stays among the rows shown, as the record window would keep it.
  const qint64 top = TopRecord();
  const qint64 bottom = top + VisibleRowCount() - 1;
  if (FCurrentRecord < top)
    GoToRecord(top);
  else if (FCurrentRecord > bottom)
    GoToRecord(bottom);
}

void TDBGrid::ColumnResized(int column, int /*oldWidth*/, int newWidth) {
  if (FLayingOut || !DataSetActive()) return;
  TField* field = FModel->FieldOf(column);
  if (field == nullptr) return;
  FUserWidths.insert(field, newWidth);
  field->SetDisplayWidth(dbgrid::DisplayWidthForColumn(newWidth, dbgrid::AverageCharWidth(font()),
                                                       dbgrid::Overhang(font())));
}

void TDBGrid::ColumnMoved(int /*logical*/, int /*oldVisual*/, int /*newVisual*/) {
  if (FLayingOut || !DataSetActive()) return;
  // The header is still inside its own move; the fields follow once it has finished.
  const int generation = FGeneration;
  QMetaObject::invokeMethod(this, Guarded([this, generation] { ApplyColumnMove(generation); }),
                            Qt::QueuedConnection);
}

void TDBGrid::ApplyColumnMove(int generation) {
  if (generation != FGeneration || !DataSetActive()) return;
  QHeaderView* titles = horizontalHeader();
  const int count = FModel->columnCount();
  // The fields in the order the header shows them now, whatever moves led there.
  std::vector<TField*> order;
  order.reserve(static_cast<size_t>(count));
  for (int visual = 0; visual < count; ++visual)
    order.push_back(FModel->FieldOf(titles->logicalIndex(visual)));
  TField* selected = FModel->FieldOf(FSelectedColumn);

  // Columns map to fields by position again: the header goes back to its natural order and the
  // fields take the order that was shown.
  FLayingOut = true;
  for (int visual = 0; visual < count; ++visual)
    if (titles->logicalIndex(visual) != visual)
      titles->moveSection(titles->visualIndex(visual), visual);
  FLayingOut = false;
  for (int position = 0; position < count; ++position)
    if (order[static_cast<size_t>(position)] != nullptr &&
        order[static_cast<size_t>(position)]->Index() != position)
      order[static_cast<size_t>(position)]->SetIndex(position);

  for (int column = 0; column < count; ++column)
    if (FModel->FieldOf(column) == selected) FSelectedColumn = column;
  ApplyLayout();
}

bool TDBGrid::IsSelectedCell(const QModelIndex& index) const {
  return hasFocus() && FModel->Active() && FCurrentRecord >= 0 &&
         FModel->RecordAt(index.row()) == FCurrentRecord && index.column() == FSelectedColumn;
}
