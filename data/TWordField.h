#pragma once

#include "data/TIntegerField.h"

// A 16-bit unsigned integer column.
class TWordField : public TIntegerField {
 public:
  using TIntegerField::TIntegerField;
  TFieldType DataType() const override { return ftWord; }
};
