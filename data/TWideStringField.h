#pragma once

#include "data/TField.h"

// A UTF-16 character column.
class TWideStringField : public TField {
 public:
  using TField::TField;
  TFieldType DataType() const override { return ftWideString; }

 protected:
  int DefaultDisplayWidth() const override { return Size(); }
  void WriteText(const ado::ValueRef& value, TextSink& out) const override;
};
