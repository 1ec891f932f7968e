#include "data/TIntegerField.h"

#include "data/ValueConvert.h"

void TIntegerField::WriteText(const ado::ValueRef& value, TextSink& out) const {
  valueconvert::WriteIntegerText(value, out);
}
