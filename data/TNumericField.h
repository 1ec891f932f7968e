#pragma once

#include "data/TField.h"

// Base of the number fields: right-aligned.
class TNumericField : public TField {
 public:
  using TField::TField;
  TAlignment Alignment() const override { return taRightJustify; }
};
