#pragma once

#include "data/TBytesField.h"

// A bounded binary column.
class TVarBytesField : public TBytesField {
 public:
  using TBytesField::TBytesField;
  TFieldType DataType() const override { return ftVarBytes; }

 protected:
  QString KindName() const override { return QStringLiteral("VarBytes"); }
};
