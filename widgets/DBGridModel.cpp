#include "widgets/DBGridModel.h"

#include "base/HandlerGuard.h"
#include "data/TADODataSet.h"
#include "data/TField.h"
#include "widgets/TextPart.h"

#include <QMetaObject>

#include <algorithm>

namespace {

// More characters than any cell can show at once, on any screen: a cell is never drawn wider
// than the view, and no glyph but a zero-width one is narrower than a pixel.
constexpr qsizetype kMaxShownLength = 32768;

// The part of a long text that a cell can show: its start, or its end when right-aligned.
QString ShownPart(QString text, bool rightAligned) {
  if (text.size() <= kMaxShownLength) return text;
  return TextPart(text, kMaxShownLength, rightAligned).toString();
}

}  // namespace

DBGridModel::DBGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void DBGridModel::Rebuild(TADODataSet* dataSet) {
  beginResetModel();
  FDataSet = dataSet;
  FActive = dataSet != nullptr && dataSet->Active();
  FColumnCount = 1;
  FRecordCount = 0;
  FFirst = 0;
  if (FActive) {
    int visible = 0;
    for (int i = 0; i < dataSet->FieldCount(); ++i)
      if (dataSet->Fields(i)->Visible()) ++visible;
    FColumnCount = visible;
    FRecordCount = std::max<qint64>(0, dataSet->RecordCount());
  }
  FReadFailureReported = false;
  FShown.clear();
  endResetModel();
}

void DBGridModel::Refresh() {
  FShown.clear();
  if (FColumnCount > 0) emit headerDataChanged(Qt::Horizontal, 0, FColumnCount - 1);
  if (rowCount() > 0 && FColumnCount > 0)
    emit dataChanged(index(0, 0), index(rowCount() - 1, FColumnCount - 1), {Qt::DisplayRole});
}

bool DBGridModel::MoveWindowTo(qint64 first) {
  first = std::clamp<qint64>(first, 0, std::max<qint64>(0, FRecordCount - rowCount()));
  if (first == FFirst) return false;
  FFirst = first;
  if (FColumnCount > 0)
    emit dataChanged(index(0, 0), index(rowCount() - 1, FColumnCount - 1), {Qt::DisplayRole});
  return true;
}

TField* DBGridModel::FieldOf(int column) const {
  if (!FActive || FDataSet == nullptr || !FDataSet->Active() || column < 0) return nullptr;
  // Every field is visible in this program, but the columns skip any that is not.
  int seen = 0;
  for (int i = 0; i < FDataSet->FieldCount(); ++i) {
    TField* field = FDataSet->Fields(i);
    if (!field->Visible()) continue;
    if (seen == column) return field;
    ++seen;
  }
  return nullptr;
}

QString DBGridModel::CellText(qint64 row, int column) const {
  TField* field = FieldOf(column);
  if (field == nullptr || row < 0 || row >= FRecordCount) return {};
  const QPair<qint64, int> key(row, column);
  if (FDataSet->ControlsDisabled()) {
    const auto shown = FShown.constFind(key);
    if (shown != FShown.cend()) return *shown;
  }
  // A screenful of cells; far fewer than this are ever shown at once.
  if (FShown.size() > 8192) FShown.clear();
  // A value of many megabytes is kept and handed on only as far as it can be seen.
  QString text = ShownPart(ReadCell(field, row), field->Alignment() == taRightJustify);
  FShown.insert(key, text);
  return text;
}

QString DBGridModel::ReadCell(TField* field, qint64 row) const {
  try {
    return field->DisplayTextAt(row);
  } catch (...) {
    // Painting must go on; the failure reaches the error box once the paint is over.
    ReportReadFailure();
    return {};
  }
}

void DBGridModel::ReportReadFailure() const {
  if (FReadFailureReported) return;
  FReadFailureReported = true;
  std::exception_ptr error = std::current_exception();
  QMetaObject::invokeMethod(
      const_cast<DBGridModel*>(this), [error] { HandleApplicationException(error); },
      Qt::QueuedConnection);
}

int DBGridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return FRecordCount > 0 ? static_cast<int>(std::min<qint64>(FRecordCount, kWindowRows)) : 1;
}

int DBGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : FColumnCount;
}

QVariant DBGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) return CellText(RecordAt(index.row()), index.column());
  if (role == Qt::TextAlignmentRole) {
    TField* field = FieldOf(index.column());
    const bool right = field != nullptr && field->Alignment() == taRightJustify;
    return QVariant::fromValue(Qt::Alignment(right ? Qt::AlignRight : Qt::AlignLeft) |
                               Qt::AlignTop);
  }
  return {};
}

QVariant DBGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  TField* field = FieldOf(section);
  return field != nullptr ? field->DisplayName() : QString();
}

Qt::ItemFlags DBGridModel::flags(const QModelIndex& index) const {
  // Never editable: the grid only shows the result.
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
