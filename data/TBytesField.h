#pragma once

#include "data/TField.h"

// A fixed-size binary column; the grid shows its kind, the text reads the bytes as UTF-16.
class TBytesField : public TField {
 public:
  using TField::TField;
  TFieldType DataType() const override { return ftBytes; }

 protected:
  QString TextOf(const ado::Value& value) const override;
  QString DisplayTextOf(const ado::Value& value) const override;
  virtual QString KindName() const { return QStringLiteral("Bytes"); }
};
