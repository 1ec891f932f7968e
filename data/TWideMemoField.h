#pragma once

#include "data/TBlobField.h"

// A long UTF-16 text column.
class TWideMemoField : public TBlobField {
 public:
  using TBlobField::TBlobField;
  TFieldType DataType() const override { return ftWideMemo; }

 protected:
  void WriteText(const ado::ValueRef& value, TextSink& out) const override;
  bool InCodePage() const override { return false; }
  QString KindName() const override { return QStringLiteral("WideMemo"); }
};
