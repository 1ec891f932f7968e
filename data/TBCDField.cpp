#include "data/TBCDField.h"

#include "base/Exceptions.h"
#include "data/NumberText.h"
#include "data/RegionalSettings.h"
#include "data/ValueConvert.h"

#include <cmath>

namespace {

constexpr qint64 kMaxWhole = 922'337'203'685'477;  // the whole part of the 64-bit range

qint64 TenThousandthsOf(const ado::Value& value) {
  using K = ado::Value::Kind;
  if (value.kind == K::Currency) return value.Int;
  if (value.kind == K::Int) {
    if (value.Int > kMaxWhole || value.Int < -kMaxWhole)
      throw EBcdOverflowException(QStringLiteral("BCD overflow"));
    return value.Int * 10000;
  }
  const double scaled = std::round(valueconvert::ToDouble(value) * 10000.0);
  if (!(std::fabs(scaled) < 9.2e18)) throw EBcdOverflowException(QStringLiteral("BCD overflow"));
  return static_cast<qint64>(scaled);
}

}  // namespace

QString TBCDField::TextOf(const ado::Value& value) const {
  const QChar separator = RegionalSettings::Current().DecimalSeparator;
  if (value.kind == ado::Value::Kind::Decimal) return numbertext::Decimal(value.Decimal, separator);
  return numbertext::FixedPoint(TenThousandthsOf(value), separator);
}

QString TBCDField::DisplayTextOf(const ado::Value& value) const {
  try {
    return TField::DisplayTextOf(value);
  } catch (const EBcdOverflowException& e) {
    return e.Message();
  }
}
