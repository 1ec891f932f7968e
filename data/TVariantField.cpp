#include "data/TVariantField.h"

#include "data/ValueConvert.h"

QString TVariantField::TextOf(const ado::Value& value) const {
  return valueconvert::AnyText(value);
}
