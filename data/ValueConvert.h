#pragma once

#include "platform/ado/AdoTypes.h"

#include <QString>

class TextSink;

// The general rules for the text of a delivered value, and the conversions the field classes
// use for values of another type than their own.
namespace valueconvert {

// The text of a Text or Guid value, as it came.
void WriteText(const ado::ValueRef& value, TextSink& out);
// The text of any value: numbers as the number classes write them, dates as date-times,
// booleans "True"/"False", bytes as UTF-16 code units, texts as they are.
void WriteAnyText(const ado::ValueRef& value, TextSink& out);
QString AnyText(const ado::ValueRef& value);
// The integer classes' text: integers of any width exactly. A value that is no integer (a real,
// or a text a database holds in an integer column) is written as its own text, never cut to a
// whole number.
void WriteIntegerText(const ado::ValueRef& value, TextSink& out);
// The decimal classes' text of a Text value: an exact decimal with every one of its digits; any
// other text ("NaN", "Infinity") as it came.
void WriteDecimalText(const ado::ValueRef& value, QChar separator, TextSink& out);
// A number for the classes that compute with one. Raises EOleException ("Could not convert the
// value to a number") for a value that is none.
double ToDouble(const ado::ValueRef& value);
bool ToBool(const ado::ValueRef& value);
// The UTF-8 bytes of a Text value, converted only when it is held as UTF-16.
class Utf8Text {
 public:
  explicit Utf8Text(const ado::ValueRef& value);
  const char* Data() const { return FData; }
  size_t Size() const { return FSize; }

 private:
  QByteArray FCopy;
  const char* FData;
  size_t FSize;
};

// The bytes taken two at a time as UTF-16 code units, the first as the low byte.
QString BytesAsUnits(const char* bytes, qsizetype size);
// The text of bounded binary data: its UTF-16 units where the bytes are UTF-16 text; else,
// where the units would drop an odd last byte, hold a zero unit or break a character, "0x" and
// every byte in hexadecimal, so no byte is lost and the file stays valid text.
QString BytesText(const char* bytes, qsizetype size);
// Bytes as the sink's form writes them: as their text (BytesText), or for exact texts "\x" and
// two lower-case hexadecimal digits per byte, as PostgreSQL writes bytea.
void WriteBytes(const char* bytes, qsizetype size, TextSink& out);
// "True"/"False", or for exact texts "true"/"false".
void WriteTruth(bool value, TextSink& out);

}  // namespace valueconvert
