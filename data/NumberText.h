#pragma once

#include "platform/ado/AdoTypes.h"

#include <QChar>
#include <QString>

// Number texts of the fields: built with std::to_chars, so no printf locale leaks in; the
// decimal separator is the caller's. No thousands separator is ever used.
namespace numbertext {

QString Integer(qint64 value);
QString Unsigned(quint64 value);
// The general format: 15 significant digits, fixed notation for exponents -3..15, else
// scientific ("1E-5"); "INF", "-INF", "NAN".
QString General(double value, QChar separator);
// A count of ten-thousandths, trailing fractional zeros dropped.
QString FixedPoint(qint64 tenThousandths, QChar separator);
// An exact decimal of up to 64 digits. Throws EBcdOverflowException ("BCD overflow") beyond.
QString Decimal(const ado::DecimalValue& value, QChar separator);
// The decimal as a count of ten-thousandths, rounded half away from zero. Throws
// EBcdOverflowException when it lies outside the 64-bit range.
qint64 DecimalToTenThousandths(const ado::DecimalValue& value);

constexpr int kMaxDecimalDigits = 64;

}  // namespace numbertext
