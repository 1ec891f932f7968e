#pragma once

#include "data/TNumericField.h"

// A fixed-point column with four decimals. A decimal value keeps its own digits.
class TBCDField : public TNumericField {
 public:
  using TNumericField::TNumericField;
  TFieldType DataType() const override { return ftBCD; }

 protected:
  int DefaultDisplayWidth() const override { return Precision() > 0 ? Precision() + 1 : 10; }
  void WriteText(const ado::ValueRef& value, TextSink& out) const override;
};
