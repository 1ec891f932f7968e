#include "data/TBlobField.h"

#include "data/ValueConvert.h"
#include "platform/CodePage.h"

QString TBlobField::TextOf(const ado::Value& value) const {
  if (value.kind == ado::Value::Kind::Bytes) return codepage::ToUnicode(value.Bytes);
  return codepage::RoundTrip(valueconvert::AnyText(value));
}

QString TBlobField::DisplayTextOf(const ado::Value& value) const {
  return BracketText(KindName(), value.IsNull());
}
