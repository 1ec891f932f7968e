#include "data/TDateField.h"

using datetimetext::DecodedDateTime;
using datetimetext::Shape;

// A date and time whose time is not midnight (to the last digit of a second) is no date: it
// keeps its text.
bool TDateField::Holds(Shape shape, const DecodedDateTime& d) const {
  return shape == Shape::Date || (shape == Shape::DateTime && d.Hour == 0 && d.Minute == 0 &&
                                  d.Second == 0 && !d.HasFraction());
}

void TDateField::WriteValue(const DecodedDateTime& d, TextSink& out) const {
  datetimetext::WriteDate(d, RegionalSettings::For(out), out);
}
