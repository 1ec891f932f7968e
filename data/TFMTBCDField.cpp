#include "data/TFMTBCDField.h"

#include "base/Exceptions.h"
#include "data/NumberText.h"
#include "data/RegionalSettings.h"
#include "data/ValueConvert.h"

QString TFMTBCDField::TextOf(const ado::Value& value) const {
  if (value.kind == ado::Value::Kind::Decimal)
    return numbertext::Decimal(value.Decimal, RegionalSettings::Current().DecimalSeparator);
  return valueconvert::AnyText(value);
}

QString TFMTBCDField::DisplayTextOf(const ado::Value& value) const {
  try {
    return TField::DisplayTextOf(value);
  } catch (const EBcdOverflowException& e) {
    return e.Message();
  }
}
