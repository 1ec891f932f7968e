#include "data/TVariantField.h"

#include "data/ValueConvert.h"

void TVariantField::WriteText(const ado::ValueRef& value, TextSink& out) const {
  valueconvert::WriteAnyText(value, out);
}
