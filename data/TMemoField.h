#pragma once

#include "data/TBlobField.h"

// A long 8-bit text column.
class TMemoField : public TBlobField {
 public:
  using TBlobField::TBlobField;
  TFieldType DataType() const override { return ftMemo; }

 protected:
  QString KindName() const override { return QStringLiteral("Memo"); }
};
