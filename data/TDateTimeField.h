#pragma once

#include "data/TField.h"

// A date-and-time column, in the regional short date and long time formats.
class TDateTimeField : public TField {
 public:
  using TField::TField;
  TFieldType DataType() const override { return ftDateTime; }

 protected:
  int DefaultDisplayWidth() const override { return 18; }
  QString TextOf(const ado::Value& value) const override;
  // The text of a date value.
  virtual QString DateValueText(double value) const;
};
