#pragma once

#include "data/TField.h"

// A fixed-size binary column; the grid shows its kind, the text reads the bytes as UTF-16.
class TBytesField : public TField {
 public:
  using TField::TField;
  TFieldType DataType() const override { return ftBytes; }

 protected:
  void WriteText(const ado::ValueRef& value, TextSink& out) const override;
  void WriteDisplayText(const ado::ValueRef& value, TextSink& out) const override;
  virtual QString KindName() const { return QStringLiteral("Bytes"); }
};
