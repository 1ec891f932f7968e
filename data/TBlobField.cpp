#include "data/TBlobField.h"

#include "data/TextSink.h"
#include "data/ValueConvert.h"
#include "platform/CodePage.h"

// The bytes are read in the locale's character set. Exact texts give binary data in hexadecimal
// (a memo's bytes are text).
void TBlobField::WriteText(const ado::ValueRef& value, TextSink& out) const {
  if (value.kind == ado::Value::Kind::Bytes) {
    if (out.IsExact() && DataType() == ftBlob)
      return valueconvert::WriteBytes(value.Data, value.Size, out);
    return out.Text(codepage::ToUnicode(value.ByteArray()));
  }
  valueconvert::WriteAnyText(value, out);
}

void TBlobField::WriteDisplayText(const ado::ValueRef& value, TextSink& out) const {
  out.Text(BracketText(KindName(), value.IsNull()));
}
