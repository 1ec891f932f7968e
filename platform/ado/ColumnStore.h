#pragma once

#include "platform/ado/AdoTypes.h"
#include "platform/ado/ChunkedBuffer.h"

#include <cstdint>
#include <string>

namespace ado {

// The values of one result column: a kind byte and an 8-byte slot per row (the number itself,
// or where the value's bytes lie), and the bytes of texts and binary values, length-prefixed,
// in one chunked buffer. No object per value; every chunk can move to the result's spill file.
// Texts are kept as UTF-8 (a text with an unpaired surrogate keeps its UTF-16 units).
class ColumnStore {
 public:
  explicit ColumnStore(ResultMemory& memory);
  ColumnStore(ColumnStore&&) noexcept = default;

  qint64 RowCount() const { return FTags.Size(); }

  void AppendNull();
  void AppendInt(qint64 value);
  void AppendUInt(quint64 value);
  void AppendDouble(double value);
  void AppendBool(bool value);
  void AppendUtf8(const char* text, size_t size);
  void AppendUtf16(const char16_t* units, size_t count);
  void AppendBytes(const char* bytes, size_t size);
  // A GUID structure's 16 bytes, kept as its braced text.
  void AppendGuid(const char* bytes);

  // The value of a row; its text or bytes stay valid until the next Peek of this column.
  ValueRef Peek(qint64 row) const;

 private:
  enum Tag : uint8_t { kNull, kInt, kUInt, kDouble, kBool, kUtf8, kUtf16, kBytes, kGuid };
  void AppendSlot(Tag tag, uint64_t slot);
  void AppendRecord(Tag tag, const char* data, size_t size);

  ChunkedArray<uint8_t> FTags;
  ChunkedArray<uint64_t> FSlots;
  ChunkedBuffer FBytes;
  std::string FScratch;
};

// "-123.450" or "1.5E+3" as exact digits and scale; false when the text is no number.
bool ParseDecimal(const char* text, size_t length, DecimalValue& out);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" from an ODBC GUID structure's 16 bytes.
QString GuidText(const char* bytes);

}  // namespace ado
