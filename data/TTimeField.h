#pragma once

#include "data/TDateTimeField.h"

// A time-of-day column.
class TTimeField : public TDateTimeField {
 public:
  using TDateTimeField::TDateTimeField;
  TFieldType DataType() const override { return ftTime; }

 protected:
  int DefaultDisplayWidth() const override { return 10; }
  bool Holds(datetimetext::Shape shape, const datetimetext::DecodedDateTime& d) const override;
  void WriteValue(const datetimetext::DecodedDateTime& d, TextSink& out) const override;
};
