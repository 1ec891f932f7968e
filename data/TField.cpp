#include "data/TField.h"

#include "data/TADODataSet.h"

TField::TField(TADODataSet* dataSet) : FDataSet(dataSet) {}

TField::~TField() = default;

int TField::DisplayWidth() const {
  return FDisplayWidth > 0 ? FDisplayWidth : DefaultDisplayWidth();
}

void TField::SetDisplayWidth(int width) {
  if (width == DisplayWidth()) return;
  FDisplayWidth = width;
  if (FDataSet) FDataSet->FieldLayoutChanged();
}

int TField::Index() const {
  if (!FDataSet) return -1;
  for (int i = 0; i < FDataSet->FieldCount(); ++i)
    if (FDataSet->Fields(i) == this) return i;
  return -1;
}

void TField::SetIndex(int index) {
  if (FDataSet) FDataSet->MoveField(this, index);
}

bool TField::IsNull() const {
  return IsNullAt(FDataSet->RecordIndex());
}
QString TField::AsString() const {
  return AsStringAt(FDataSet->RecordIndex());
}
QString TField::DisplayText() const {
  return DisplayTextAt(FDataSet->RecordIndex());
}

bool TField::IsNullAt(qint64 recordIndex) const {
  return ValueAt(recordIndex).IsNull();
}

QString TField::AsStringAt(qint64 recordIndex) const {
  const ado::Value value = ValueAt(recordIndex);
  return value.IsNull() ? QString() : TextOf(value);
}

QString TField::DisplayTextAt(qint64 recordIndex) const {
  return DisplayTextOf(ValueAt(recordIndex));
}

QString TField::DisplayTextOf(const ado::Value& value) const {
  return value.IsNull() ? QString() : TextOf(value);
}

QString TField::BracketText(const QString& name, bool isNull) {
  return u'(' + (isNull ? name : name.toUpper()) + u')';
}

ado::Value TField::ValueAt(qint64 recordIndex) const {
  return FDataSet->ReadValue(recordIndex, FFieldNo);
}
