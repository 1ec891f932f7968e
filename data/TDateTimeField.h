#pragma once

#include "data/DateTimeText.h"
#include "data/TField.h"

// A date-and-time column, in the regional short date and long time formats.
class TDateTimeField : public TField {
 public:
  using TField::TField;
  TFieldType DataType() const override { return ftDateTime; }

 protected:
  int DefaultDisplayWidth() const override { return 18; }
  void WriteText(const ado::ValueRef& value, TextSink& out) const override;
  // Whether a date or time text is a value of this class: a date, or a date and time.
  virtual bool Holds(datetimetext::Shape shape, const datetimetext::DecodedDateTime& d) const;
  // The text of a value of this class.
  virtual void WriteValue(const datetimetext::DecodedDateTime& d, TextSink& out) const;
};
