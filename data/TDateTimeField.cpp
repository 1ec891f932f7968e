#include "data/TDateTimeField.h"

#include "data/TextSink.h"
#include "data/ValueConvert.h"

using datetimetext::DecodedDateTime;
using datetimetext::Shape;

// Dates and times come as the database's text, which is read exactly; one that no date can hold
// (infinity, a zero date, a time of 24 hours or more, a year of five digits or before year 1),
// and a value of another kind, is written as its own text.
void TDateTimeField::WriteText(const ado::ValueRef& value, TextSink& out) const {
  if (value.kind != ado::Value::Kind::Text) return valueconvert::WriteAnyText(value, out);
  DecodedDateTime d;
  const valueconvert::Utf8Text text(value);
  const Shape shape = datetimetext::Parse(text.Data(), text.Size(), d);
  if (Holds(shape, d)) return WriteValue(d, out);
  valueconvert::WriteText(value, out);
}

bool TDateTimeField::Holds(Shape shape, const DecodedDateTime&) const {
  return shape == Shape::Date || shape == Shape::DateTime;
}

void TDateTimeField::WriteValue(const DecodedDateTime& d, TextSink& out) const {
  datetimetext::WriteDateTime(d, RegionalSettings::For(out), out);
}
