#pragma once

#include "platform/ado/AdoTypes.h"

#include <QString>

// Conversions of a delivered value to what a field class holds. A value that cannot be
// converted raises EOleException, as the layer's own conversion failure would.
namespace valueconvert {

// The text of any value by the general rules: numbers as the number classes write them, dates
// as date-times, booleans "True"/"False", bytes as UTF-16 code units.
QString AnyText(const ado::Value& value);
// The integer text of a numeric value, exact for every 64-bit and decimal value.
QString IntegerText(const ado::Value& value);
double ToDouble(const ado::Value& value);
bool ToBool(const ado::Value& value);
// The bytes taken two at a time as UTF-16 code units, the first as the low byte.
QString BytesAsUnits(const QByteArray& bytes);

}  // namespace valueconvert
