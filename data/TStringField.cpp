#include "data/TStringField.h"

#include "data/ValueConvert.h"
#include "platform/CodePage.h"

QString TStringField::TextOf(const ado::Value& value) const {
  const bool text = value.kind == ado::Value::Kind::Text || value.kind == ado::Value::Kind::Guid;
  return codepage::RoundTrip(text ? value.Text : valueconvert::AnyText(value));
}
