#include "data/TStringField.h"

#include "data/ValueConvert.h"

// The character set is applied where the text leaves the program, as for every other text.
void TStringField::WriteText(const ado::ValueRef& value, TextSink& out) const {
  valueconvert::WriteAnyText(value, out);
}
