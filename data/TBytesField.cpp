#include "data/TBytesField.h"

#include "data/ValueConvert.h"

QString TBytesField::TextOf(const ado::Value& value) const {
  if (value.kind == ado::Value::Kind::Bytes) return valueconvert::BytesAsUnits(value.Bytes);
  return valueconvert::AnyText(value);
}

QString TBytesField::DisplayTextOf(const ado::Value& value) const {
  return BracketText(KindName(), value.IsNull());
}
