#include "data/TBCDField.h"

#include "data/NumberText.h"
#include "data/RegionalSettings.h"
#include "data/TextSink.h"
#include "data/ValueConvert.h"

#include <cmath>

void TBCDField::WriteText(const ado::ValueRef& value, TextSink& out) const {
  using K = ado::Value::Kind;
  const QChar separator = RegionalSettings::For(out).DecimalSeparator;
  switch (value.kind) {
    case K::Text:
      return valueconvert::WriteDecimalText(value, separator, out);
    case K::Int:
    case K::UInt:
    case K::Bytes:
    case K::Guid:
      return valueconvert::WriteAnyText(value, out);
    default: {
      // Four decimals, as the fixed-point type holds them.
      const double scaled = std::round(valueconvert::ToDouble(value) * 10000.0);
      if (std::fabs(scaled) < 9.2e18)
        return numbertext::WriteFixedPoint(static_cast<qint64>(scaled), separator, out);
      return valueconvert::WriteAnyText(value, out);
    }
  }
}
