#pragma once

#include "data/RegionalSettings.h"

#include <QString>

#include <string_view>

class TextSink;

// Texts of date and time values in the short date and long time formats of the regional
// settings, years always with at least four digits. Parts below a second are dropped, never
// rounded into the next second or day; exact texts (TextSink) write them as the value has them.
namespace datetimetext {

struct DecodedDateTime {
  int Year = 1899, Month = 12, Day = 30;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
  // The digits after the seconds' point as a parsed text has them (a view of that text), or
  // empty: then Millisecond holds the part of a second.
  std::string_view Fraction;

  // Whether some part of a second is not zero.
  bool HasFraction() const;
};

// What a date or time text holds.
enum class Shape { None, Date, Time, DateTime };

// Days since 30 December 1899 with the time of day as fraction (before that day the whole days
// count back and the fraction still runs forward).
DecodedDateTime Decode(double value);
// "YYYY-MM-DD", "HH:MM[:SS[.fraction]]" or both, joined by a blank or "T", as databases write
// them. None for anything else, and for what a date cannot hold (year 0 or below, five-digit
// years, zero days or months, 24 hours and more, a zone or an era).
Shape Parse(const char* text, size_t size, DecodedDateTime& out);

void WriteDate(const DecodedDateTime& d, const RegionalSettings& settings, TextSink& out);
void WriteTime(const DecodedDateTime& d, const RegionalSettings& settings, TextSink& out);
// The date, and a blank and the time when the time of day is not midnight to the second (always,
// for exact texts).
void WriteDateTime(const DecodedDateTime& d, const RegionalSettings& settings, TextSink& out);

QString Date(double value, const RegionalSettings& settings);
QString Time(double value, const RegionalSettings& settings);
QString DateTime(double value, const RegionalSettings& settings);

}  // namespace datetimetext
