#pragma once

#include "data/TField.h"

// A true/false column.
class TBooleanField : public TField {
 public:
  using TField::TField;
  TFieldType DataType() const override { return ftBoolean; }

 protected:
  int DefaultDisplayWidth() const override { return 5; }
  void WriteText(const ado::ValueRef& value, TextSink& out) const override;
};
