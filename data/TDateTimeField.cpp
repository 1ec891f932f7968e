#include "data/TDateTimeField.h"

#include "data/DateTimeText.h"
#include "data/RegionalSettings.h"
#include "data/ValueConvert.h"

QString TDateTimeField::TextOf(const ado::Value& value) const {
  // A driver that hands a date as text has already chosen its form.
  if (value.kind == ado::Value::Kind::Text) return value.Text;
  return DateValueText(valueconvert::ToDouble(value));
}

QString TDateTimeField::DateValueText(double value) const {
  return datetimetext::DateTime(value, RegionalSettings::Current());
}
