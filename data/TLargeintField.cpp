#include "data/TLargeintField.h"

#include "data/ValueConvert.h"

QString TLargeintField::TextOf(const ado::Value& value) const {
  return valueconvert::IntegerText(value);
}
