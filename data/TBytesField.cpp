#include "data/TBytesField.h"

#include "data/TextSink.h"
#include "data/ValueConvert.h"

void TBytesField::WriteText(const ado::ValueRef& value, TextSink& out) const {
  if (value.kind == ado::Value::Kind::Bytes)
    return valueconvert::WriteBytes(value.Data, value.Size, out);
  valueconvert::WriteAnyText(value, out);
}

void TBytesField::WriteDisplayText(const ado::ValueRef& value, TextSink& out) const {
  out.Text(BracketText(KindName(), value.IsNull()));
}
