#pragma once

#include "data/TInterfaceField.h"

// A column of automation object references.
class TIDispatchField : public TInterfaceField {
 public:
  using TInterfaceField::TInterfaceField;
  TFieldType DataType() const override { return ftIDispatch; }

 protected:
  QString KindName() const override { return QStringLiteral("IDispatch"); }
};
