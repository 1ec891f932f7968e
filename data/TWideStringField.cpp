#include "data/TWideStringField.h"

#include "data/ValueConvert.h"

void TWideStringField::WriteText(const ado::ValueRef& value, TextSink& out) const {
  valueconvert::WriteAnyText(value, out);
}
