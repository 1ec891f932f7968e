#pragma once

#include "data/TIntegerField.h"

// A 16-bit signed integer column (also one-byte columns).
class TSmallintField : public TIntegerField {
 public:
  using TIntegerField::TIntegerField;
  TFieldType DataType() const override { return ftSmallint; }
};
