#include "data/TIntegerField.h"

#include "data/ValueConvert.h"

QString TIntegerField::TextOf(const ado::Value& value) const {
  return valueconvert::IntegerText(value);
}
