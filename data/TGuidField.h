#pragma once

#include "data/TStringField.h"

// A GUID column, in its braced text form.
class TGuidField : public TStringField {
 public:
  using TStringField::TStringField;
  TFieldType DataType() const override { return ftGuid; }

 protected:
  int DefaultDisplayWidth() const override { return 38; }
};
