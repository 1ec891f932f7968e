#pragma once

#include "data/TNumericField.h"

// A decimal column of up to 64 digits.
class TFMTBCDField : public TNumericField {
 public:
  using TNumericField::TNumericField;
  TFieldType DataType() const override { return ftFMTBcd; }

 protected:
  int DefaultDisplayWidth() const override { return Precision() > 0 ? Precision() + 1 : 10; }
  void WriteText(const ado::ValueRef& value, TextSink& out) const override;
};
