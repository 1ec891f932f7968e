#pragma once

#include "data/TNumericField.h"

// A 64-bit integer column.
class TLargeintField : public TNumericField {
 public:
  using TNumericField::TNumericField;
  TFieldType DataType() const override { return ftLargeint; }

 protected:
  int DefaultDisplayWidth() const override { return 15; }
  void WriteText(const ado::ValueRef& value, TextSink& out) const override;
};
