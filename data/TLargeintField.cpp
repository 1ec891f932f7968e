#include "data/TLargeintField.h"

#include "data/ValueConvert.h"

void TLargeintField::WriteText(const ado::ValueRef& value, TextSink& out) const {
  valueconvert::WriteIntegerText(value, out);
}
