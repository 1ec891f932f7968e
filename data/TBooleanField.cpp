#include "data/TBooleanField.h"

#include "data/TextSink.h"
#include "data/ValueConvert.h"

// "True" or "False" for a truth value. A number other than 0 and 1, or a text other than those
// and "true" or "false", is no truth value: it is written as it is.
void TBooleanField::WriteText(const ado::ValueRef& value, TextSink& out) const {
  using K = ado::Value::Kind;
  const auto truth = [&out](bool b) { valueconvert::WriteTruth(b, out); };
  switch (value.kind) {
    case K::Bool:
      return truth(value.Bool);
    case K::Int:
      if (value.Int == 0 || value.Int == 1) return truth(value.Int == 1);
      return valueconvert::WriteAnyText(value, out);
    case K::UInt:
      if (value.UInt <= 1) return truth(value.UInt == 1);
      return valueconvert::WriteAnyText(value, out);
    case K::Text: {
      const QString text = value.TextString();
      if (text == u"1" || text.compare(u"true", Qt::CaseInsensitive) == 0) return truth(true);
      if (text == u"0" || text.compare(u"false", Qt::CaseInsensitive) == 0) return truth(false);
      return valueconvert::WriteText(value, out);
    }
    case K::Bytes:
    case K::Guid:
      return valueconvert::WriteAnyText(value, out);
    default:
      return truth(valueconvert::ToBool(value));
  }
}
