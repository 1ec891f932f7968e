#pragma once

#include "data/TIntegerField.h"

// An integer column the database numbers itself.
class TAutoIncField : public TIntegerField {
 public:
  using TIntegerField::TIntegerField;
  TFieldType DataType() const override { return ftAutoInc; }
};
