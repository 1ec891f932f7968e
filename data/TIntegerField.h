#pragma once

#include "data/TNumericField.h"

// A 32-bit integer column. Values beyond 32 bits are shown exactly rather than wrapped.
class TIntegerField : public TNumericField {
 public:
  using TNumericField::TNumericField;
  TFieldType DataType() const override { return ftInteger; }

 protected:
  void WriteText(const ado::ValueRef& value, TextSink& out) const override;
};
