#pragma once

#include "data/TField.h"
#include "data/TextSink.h"

// A column of object references; only their kind is shown.
class TInterfaceField : public TField {
 public:
  using TField::TField;
  TFieldType DataType() const override { return ftInterface; }

 protected:
  void WriteText(const ado::ValueRef& value, TextSink& out) const override {
    out.Text(BracketText(KindName(), value.IsNull()));
  }
  void WriteDisplayText(const ado::ValueRef& value, TextSink& out) const override {
    out.Text(BracketText(KindName(), value.IsNull()));
  }
  virtual QString KindName() const { return QStringLiteral("Interface"); }
};
