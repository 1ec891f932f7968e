#include "data/TTimeField.h"

#include "data/DateTimeText.h"

QString TTimeField::DateValueText(double value) const {
  return datetimetext::Time(value, RegionalSettings::Current());
}
