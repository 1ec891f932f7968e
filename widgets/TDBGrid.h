#pragma once

#include <QFont>
#include <QHash>
#include <QPointer>
#include <QTableView>

class DBGridModel;
class QScrollBar;
class DBGridIndicatorHeader;
class TADODataSet;
class TDataSource;
class TField;

// The read-only data grid: one column per visible field of the data source's data set, an
// indicator column on the current record, and the keyboard and mouse navigation of a data grid.
// It only ever reads the rows it shows; moving in the grid moves the data set.
class TDBGrid : public QTableView {
  Q_OBJECT
 public:
  explicit TDBGrid(QWidget* parent = nullptr);
  ~TDBGrid() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* source);

  // The grid never edits; the setting is kept for the form's layout.
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }

  // The titles' font; it follows the grid's font until it is set.
  const QFont& TitleFont() const { return FTitleFont; }
  void SetTitleFont(const QFont& font);

  // What is shown, for the form and its tests.
  int ColumnCount() const;
  int ColumnWidth(int column) const;
  QString ColumnTitle(int column) const;
  // The text of a cell of the record with the given 0-based number.
  QString CellText(qint64 recordIndex, int column) const;
  // The record that carries the indicator (-1: none) and the selected column.
  qint64 CurrentRecord() const { return FCurrentRecord; }
  int SelectedColumn() const { return FSelectedColumn; }
  int RowHeight() const;
  int TitleHeight() const;
  int IndicatorWidth() const;
  // Rows that fit wholly below the title row (at least 1), and the record shown in the top row.
  int VisibleRowCount() const;
  qint64 TopRecord() const;
  bool VerticalScrollBarShown() const;
  // The vertical scroll bar the user sees: its position is the current record's number.
  QScrollBar* RecordScrollBar() const { return FRecordBar; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  TADODataSet* DataSet() const;
  bool DataSetActive() const;
  bool Frozen() const;
  void StateChanged();
  void DataSetChanged();
  void LayoutChanged();
  void RecordMoved();
  void Rebuild();
  void ApplyLayout();
  void ApplyColumnWidths();
  void ApplyFonts();
  void UpdateScrollBarPolicy();
  void UpdateBufferCount();
  void FollowDataSet(bool revealColumn = true);
  void KeepCurrentInWindow();
  // Brings the current record into view, and the selected column too when revealColumn.
  void ShowCurrent(bool revealColumn = true);
  void UpdateRecordBar();
  void RecordBarMoved(int position);
  void GoToRecord(qint64 record);
  void MoveRecordBy(qint64 distance);
  void SetSelectedColumn(int column);
  bool HandleKey(int key, bool ctrl);
  void HandleTab(bool backward);
  void ScrolledByUser();
  void ColumnResized(int column, int oldWidth, int newWidth);
  void ColumnMoved(int logical, int oldVisual, int newVisual);
  void ApplyColumnMove(int generation);
  bool IsSelectedCell(const QModelIndex& index) const;

  QPointer<TDataSource> FDataSource;
  DBGridModel* FModel;
  DBGridIndicatorHeader* FIndicator;
  QScrollBar* FRecordBar;
  QFont FTitleFont;
  bool FTitleFontSet = false;
  bool FReadOnly = true;
  qint64 FCurrentRecord = -1;
  int FSelectedColumn = 0;
  int FWheelRemainder = 0;
  // Set while the grid itself sizes columns or scrolls, so those are not taken as the user's.
  bool FLayingOut = false;
  bool FScrolling = false;
  bool FSyncingRecordBar = false;
  // Counts rebuilds, so a column move queued before one is dropped after it.
  int FGeneration = 0;
  // Widths the user gave by dragging, per field, until the data set closes.
  QHash<const TField*, int> FUserWidths;
};
