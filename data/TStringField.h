#pragma once

#include "data/TField.h"

// An 8-bit character column; its text passes through the locale's character set.
class TStringField : public TField {
 public:
  using TField::TField;
  TFieldType DataType() const override { return ftString; }

 protected:
  int DefaultDisplayWidth() const override { return Size(); }
  void WriteText(const ado::ValueRef& value, TextSink& out) const override;
  bool InCodePage() const override { return true; }
};
