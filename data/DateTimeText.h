#pragma once

#include "data/RegionalSettings.h"

#include <QString>

// Texts of date values: days since 30 December 1899 with the time of day as fraction (before
// that day the whole days count back and the fraction still runs forward), rendered with the
// short date and long time formats of the regional settings.
namespace datetimetext {

struct DecodedDateTime {
  int Year = 1899, Month = 12, Day = 30;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

DecodedDateTime Decode(double value);
QString Date(double value, const RegionalSettings& settings);
QString Time(double value, const RegionalSettings& settings);
// The date, and a blank and the time when the time of day is not midnight to the second.
QString DateTime(double value, const RegionalSettings& settings);

}  // namespace datetimetext
