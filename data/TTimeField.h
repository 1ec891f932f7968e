#pragma once

#include "data/TDateTimeField.h"

// A time-of-day column.
class TTimeField : public TDateTimeField {
 public:
  using TDateTimeField::TDateTimeField;
  TFieldType DataType() const override { return ftTime; }

 protected:
  int DefaultDisplayWidth() const override { return 10; }
  QString DateValueText(double value) const override;
};
