#include "data/TBlobField.h"

#include "data/TextSink.h"
#include "data/ValueConvert.h"
#include "platform/CodePage.h"

void TBlobField::WriteText(const ado::ValueRef& value, TextSink& out) const {
  if (value.kind == ado::Value::Kind::Bytes)
    return out.Text(codepage::ToUnicode(value.ByteArray()));
  out.Text(codepage::RoundTrip(valueconvert::AnyText(value)));
}

void TBlobField::WriteDisplayText(const ado::ValueRef& value, TextSink& out) const {
  out.Text(BracketText(KindName(), value.IsNull()));
}
