#include "data/TField.h"

#include "data/TADODataSet.h"
#include "data/TextSink.h"
#include "data/ValueConvert.h"
#include "platform/CodePage.h"

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
  return Peek(recordIndex).IsNull();
}

QString TField::AsStringAt(qint64 recordIndex) const {
  const ado::ValueRef value = Peek(recordIndex);
  if (value.IsNull()) return {};
  TextSink text;
  WriteText(value, text);
  return InCodePage() ? codepage::Shown(text.Bytes()) : text.TakeString();
}

// The same text path as the save's, and the character set applied as the save applies it.
QString TField::DisplayTextAt(qint64 recordIndex) const {
  TextSink text;
  WriteDisplayText(Peek(recordIndex), text);
  return codepage::Shown(text.Bytes());
}

bool TField::WriteAsString(TextSink& out) const {
  const ado::ValueRef value = Peek(FDataSet->RecordIndex());
  if (value.IsNull()) return false;
  if (FBooleanText && out.IsExact()) {
    const valueconvert::Utf8Text text(value);
    const std::string_view digit(text.Data(), text.Size());
    if (digit == "1" || digit == "0") {
      valueconvert::WriteTruth(digit == "1", out);
      return true;
    }
  }
  WriteText(value, out);
  return true;
}

void TField::WriteDisplayText(const ado::ValueRef& value, TextSink& out) const {
  if (!value.IsNull()) WriteText(value, out);
}

QString TField::BracketText(const QString& name, bool isNull) {
  return u'(' + (isNull ? name : name.toUpper()) + u')';
}

ado::ValueRef TField::Peek(qint64 recordIndex) const {
  return FDataSet->PeekValue(recordIndex, FFieldNo);
}
