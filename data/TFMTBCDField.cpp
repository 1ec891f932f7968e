#include "data/TFMTBCDField.h"

#include "data/RegionalSettings.h"
#include "data/ValueConvert.h"

void TFMTBCDField::WriteText(const ado::ValueRef& value, TextSink& out) const {
  const QChar separator = RegionalSettings::For(out).DecimalSeparator;
  if (value.kind == ado::Value::Kind::Text)
    return valueconvert::WriteDecimalText(value, separator, out);
  valueconvert::WriteAnyText(value, out);
}
