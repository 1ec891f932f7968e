#include "data/TTimeField.h"

using datetimetext::DecodedDateTime;
using datetimetext::Shape;

bool TTimeField::Holds(Shape shape, const DecodedDateTime&) const {
  return shape == Shape::Time;
}

void TTimeField::WriteValue(const DecodedDateTime& d, TextSink& out) const {
  datetimetext::WriteTime(d, RegionalSettings::For(out), out);
}
