#pragma once

#include "data/TNumericField.h"

// A floating-point column, in the general number format.
class TFloatField : public TNumericField {
 public:
  using TNumericField::TNumericField;
  TFieldType DataType() const override { return ftFloat; }

 protected:
  void WriteText(const ado::ValueRef& value, TextSink& out) const override;
};
