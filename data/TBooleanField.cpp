#include "data/TBooleanField.h"

#include "data/ValueConvert.h"

QString TBooleanField::TextOf(const ado::Value& value) const {
  return valueconvert::ToBool(value) ? QStringLiteral("True") : QStringLiteral("False");
}
