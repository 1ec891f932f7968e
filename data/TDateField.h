#pragma once

#include "data/TDateTimeField.h"

// A date column.
class TDateField : public TDateTimeField {
 public:
  using TDateTimeField::TDateTimeField;
  TFieldType DataType() const override { return ftDate; }

 protected:
  int DefaultDisplayWidth() const override { return 10; }
  QString DateValueText(double value) const override;
};
