#include "data/TDateField.h"

#include "data/DateTimeText.h"

QString TDateField::DateValueText(double value) const {
  return datetimetext::Date(value, RegionalSettings::Current());
}
