#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QPair>
#include <QPointer>

class TADODataSet;
class TField;

// The grid's table over a data set: one column per visible field in field order and one row per
// record of a window of records around the ones shown. Closed (or without records) it is one empty
// row; closed it is also one untitled column. Values are read only when a cell asks for them, so
// only the rows shown are ever read. The view keeps a few bytes per row it is given, so a result
// of a hundred million records is never given to it whole.
class DBGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kWindowRows = 65536;

  explicit DBGridModel(QObject* parent = nullptr);

  // Takes the data set's present shape (open or closed, fields, record count).
  void Rebuild(TADODataSet* dataSet);
  // Titles and values may have moved between columns; the shape stays.
  void Refresh();

  bool Active() const { return FActive; }
  // The field of a column; null in the closed state.
  TField* FieldOf(int column) const;
  qint64 RecordCount() const { return FRecordCount; }
  // The record of a row of the window, and the first record of the window.
  qint64 RecordAt(int row) const { return FFirst + row; }
  qint64 FirstRecord() const { return FFirst; }
  // Moves the window to start at the record (as far as the records allow); whether it moved.
  bool MoveWindowTo(qint64 first);
  // The text a cell shows; empty for the placeholder row of an empty result. A very long value
  // gives only as much of its start (of its end, right-aligned) as a cell can ever show. While
  // the data set's controls are disabled, cells already shown keep their text without reading
  // again.
  QString CellText(qint64 row, int column) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void ReportReadFailure() const;
  QString ReadCell(TField* field, qint64 row) const;

  QPointer<TADODataSet> FDataSet;
  bool FActive = false;
  int FColumnCount = 1;
  qint64 FRecordCount = 0;
  qint64 FFirst = 0;
  // A value that cannot be read is reported once per shape, not once per repaint.
  mutable bool FReadFailureReported = false;
  // The texts last shown, so a frozen grid repaints (an expose, the window disabled) as it was.
  mutable QHash<QPair<qint64, int>, QString> FShown;
};
