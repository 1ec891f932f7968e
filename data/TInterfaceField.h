#pragma once

#include "data/TField.h"

// A column of object references; only their kind is shown.
class TInterfaceField : public TField {
 public:
  using TField::TField;
  TFieldType DataType() const override { return ftInterface; }

 protected:
  QString TextOf(const ado::Value& value) const override {
    return BracketText(KindName(), value.IsNull());
  }
  QString DisplayTextOf(const ado::Value& value) const override {
    return BracketText(KindName(), value.IsNull());
  }
  virtual QString KindName() const { return QStringLiteral("Interface"); }
};
