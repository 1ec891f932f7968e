#include "data/TStringField.h"

#include "data/TextSink.h"
#include "data/ValueConvert.h"
#include "platform/CodePage.h"

// The text passes through the locale's character set; writing UTF-8 for a UTF-8 character set,
// that round trip changes nothing the sink does not change itself. Exact texts keep every
// character.
void TStringField::WriteText(const ado::ValueRef& value, TextSink& out) const {
  if (out.IsUtf8() || out.IsExact()) return valueconvert::WriteAnyText(value, out);
  out.Text(codepage::RoundTrip(valueconvert::AnyText(value)));
}
