#include "data/TWideMemoField.h"

#include "data/ValueConvert.h"

QString TWideMemoField::TextOf(const ado::Value& value) const {
  if (value.kind == ado::Value::Kind::Bytes) return valueconvert::BytesAsUnits(value.Bytes);
  return valueconvert::AnyText(value);
}
