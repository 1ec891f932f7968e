#include "data/TFloatField.h"

#include "data/NumberText.h"
#include "data/RegionalSettings.h"
#include "data/ValueConvert.h"

QString TFloatField::TextOf(const ado::Value& value) const {
  const double d =
      value.kind == ado::Value::Kind::Double ? value.Double : valueconvert::ToDouble(value);
  return numbertext::General(d, RegionalSettings::Current().DecimalSeparator);
}
