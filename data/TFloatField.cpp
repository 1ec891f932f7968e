#include "data/TFloatField.h"

#include "base/NumberSyntax.h"
#include "data/NumberText.h"
#include "data/RegionalSettings.h"
#include "data/TextSink.h"
#include "data/ValueConvert.h"

// A real in the general format. An integer (SQLite keeps integers as such in any column) is
// written with all its digits; a text that is no real, or a real beyond a double's range, as it
// came.
void TFloatField::WriteText(const ado::ValueRef& value, TextSink& out) const {
  using K = ado::Value::Kind;
  const QChar separator = RegionalSettings::For(out).DecimalSeparator;
  switch (value.kind) {
    case K::Double:
      return numbertext::WriteReal(value.Double, separator, out);
    case K::Int:
    case K::UInt:
      return valueconvert::WriteAnyText(value, out);
    case K::Text: {
      double real;
      const valueconvert::Utf8Text text(value);
      if (numbersyntax::ParseReal(text.Data(), text.Size(), real))
        return numbertext::WriteReal(real, separator, out);
      return valueconvert::WriteText(value, out);
    }
    default:
      return numbertext::WriteReal(valueconvert::ToDouble(value), separator, out);
  }
}
