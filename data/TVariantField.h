#pragma once

#include "data/TField.h"

// A column of values of any type, written by the general value rules.
class TVariantField : public TField {
 public:
  using TField::TField;
  TFieldType DataType() const override { return ftVariant; }

 protected:
  int DefaultDisplayWidth() const override { return 15; }
  void WriteText(const ado::ValueRef& value, TextSink& out) const override;
};
