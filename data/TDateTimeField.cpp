#include "data/TDateTimeField.h"

#include "data/TextSink.h"
#include "data/ValueConvert.h"

using datetimetext::DecodedDateTime;
using datetimetext::Shape;

// A date or time that the database gives as text is read exactly; one that no date can hold
// (infinity, a zero date, a time of 24 hours or more, a year of five digits or before year 1)
// is written as the database's text.
void TDateTimeField::WriteText(const ado::ValueRef& value, TextSink& out) const {
  using K = ado::Value::Kind;
  switch (value.kind) {
    case K::Text: {
      DecodedDateTime d;
      const valueconvert::Utf8Text text(value);
      const Shape shape = datetimetext::Parse(text.Data(), text.Size(), d);
      if (Holds(shape, d)) return WriteValue(d, out);
      return valueconvert::WriteText(value, out);
    }
    case K::Bytes:
    case K::Guid:
      return valueconvert::WriteAnyText(value, out);
    default:
      return WriteValue(datetimetext::Decode(valueconvert::ToDouble(value)), out);
  }
}

bool TDateTimeField::Holds(Shape shape, const DecodedDateTime&) const {
  return shape == Shape::Date || shape == Shape::DateTime;
}

void TDateTimeField::WriteValue(const DecodedDateTime& d, TextSink& out) const {
  datetimetext::WriteDateTime(d, RegionalSettings::For(out), out);
}
