#pragma once

#include "data/TField.h"

// A large binary column; its text reads the bytes in the locale's character set.
class TBlobField : public TField {
 public:
  using TField::TField;
  TFieldType DataType() const override { return ftBlob; }
  bool IsBlob() const override { return true; }

 protected:
  void WriteText(const ado::ValueRef& value, TextSink& out) const override;
  void WriteDisplayText(const ado::ValueRef& value, TextSink& out) const override;
  bool InCodePage() const override { return true; }
  virtual QString KindName() const { return QStringLiteral("Blob"); }
};
