#pragma once

#include "platform/ado/AdoTypes.h"

#include <QChar>
#include <QString>

class TextSink;

// Number texts of the fields: built with std::to_chars, so no printf locale leaks in; the
// decimal separator is the caller's. No thousands separator is ever used.
namespace numbertext {

void WriteInteger(qint64 value, TextSink& out);
void WriteUnsigned(quint64 value, TextSink& out);
// The general format: 15 significant digits, fixed notation for exponents -3..15, else
// scientific ("1E-5"); "INF", "-INF", "NAN".
void WriteGeneral(double value, QChar separator, TextSink& out);
// A real as the sink's form writes it: the general format, or for exact texts the shortest text
// that reads back as the same double ("0.1", "1e+300", "inf", "nan").
void WriteReal(double value, QChar separator, TextSink& out);
// A count of ten-thousandths, trailing fractional zeros dropped.
void WriteFixedPoint(qint64 tenThousandths, QChar separator, TextSink& out);
// An exact decimal with every one of its digits; leading integer and trailing fraction zeros
// dropped.
void WriteDecimal(const ado::DecimalValue& value, QChar separator, TextSink& out);

// The same as texts.
QString Integer(qint64 value);
QString Unsigned(quint64 value);
QString General(double value, QChar separator);
QString FixedPoint(qint64 tenThousandths, QChar separator);
QString Decimal(const ado::DecimalValue& value, QChar separator);

}  // namespace numbertext
