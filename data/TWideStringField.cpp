#include "data/TWideStringField.h"

#include "data/ValueConvert.h"

QString TWideStringField::TextOf(const ado::Value& value) const {
  return value.kind == ado::Value::Kind::Text ? value.Text : valueconvert::AnyText(value);
}
