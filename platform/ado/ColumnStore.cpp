#include "platform/ado/ColumnStore.h"

#include "platform/ado/OdbcText.h"

#include <sql.h>
#include <sqlext.h>

#include <bit>
#include <cstring>
#include <limits>

namespace ado {

namespace {

// Lengths are stored as LEB128: one byte below 128.
size_t PutLength(char* out, size_t value) {
  size_t n = 0;
  do {
    uint8_t byte = value & 0x7f;
    value >>= 7;
    if (value != 0) byte |= 0x80;
    out[n++] = static_cast<char>(byte);
  } while (value != 0);
  return n;
}

const char* GetLength(const char* in, size_t& value) {
  value = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<uint8_t>(*in++);
    value |= static_cast<size_t>(byte & 0x7f) << shift;
    if (!(byte & 0x80)) return in;
  }
}

}  // namespace

ColumnStore::ColumnStore(ResultMemory& memory) : FTags(memory), FSlots(memory), FBytes(memory) {}

void ColumnStore::AppendSlot(Tag tag, uint64_t slot) {
  FTags.Append(tag);
  FSlots.Append(slot);
}

void ColumnStore::AppendRecord(Tag tag, const char* data, size_t size) {
  char prefix[10];
  const size_t prefixSize = PutLength(prefix, size);
  uint64_t position;
  char* out = FBytes.Extend(prefixSize + size, position);
  std::memcpy(out, prefix, prefixSize);
  if (size > 0) std::memcpy(out + prefixSize, data, size);
  AppendSlot(tag, position);
}

void ColumnStore::AppendNull() {
  AppendSlot(kNull, 0);
}
void ColumnStore::AppendInt(qint64 value) {
  AppendSlot(kInt, static_cast<uint64_t>(value));
}
void ColumnStore::AppendUInt(quint64 value) {
  // Only values beyond the signed range need the unsigned kind.
  AppendSlot(value > static_cast<quint64>(std::numeric_limits<qint64>::max()) ? kUInt : kInt,
             value);
}
void ColumnStore::AppendDouble(double value) {
  AppendSlot(kDouble, std::bit_cast<uint64_t>(value));
}
void ColumnStore::AppendBool(bool value) {
  AppendSlot(kBool, value ? 1 : 0);
}
void ColumnStore::AppendUtf8(const char* text, size_t size) {
  AppendRecord(kUtf8, text, size);
}
void ColumnStore::AppendBytes(const char* bytes, size_t size) {
  AppendRecord(kBytes, bytes, size);
}

void ColumnStore::AppendUtf16(const char16_t* units, size_t count) {
  if (Utf16ToUtf8(units, count, FScratch)) {
    AppendRecord(kUtf8, FScratch.data(), FScratch.size());
  } else {
    AppendRecord(kUtf16, reinterpret_cast<const char*>(units), count * sizeof(char16_t));
  }
}

void ColumnStore::AppendGuid(const char* bytes) {
  const QByteArray text = GuidText(bytes).toLatin1();
  AppendRecord(kGuid, text.constData(), static_cast<size_t>(text.size()));
}

ValueRef ColumnStore::Peek(qint64 row) const {
  ValueRef ref;
  if (row < 0 || row >= FTags.Size()) return ref;
  const uint8_t tag = FTags.Get(row);
  if (tag == kNull) return ref;
  const uint64_t slot = FSlots.Get(row);
  using K = Value::Kind;
  switch (tag) {
    case kInt:
      ref.kind = K::Int;
      ref.Int = static_cast<qint64>(slot);
      return ref;
    case kUInt:
      ref.kind = K::UInt;
      ref.UInt = slot;
      return ref;
    case kDouble:
      ref.kind = K::Double;
      ref.Double = std::bit_cast<double>(slot);
      return ref;
    case kBool:
      ref.kind = K::Bool;
      ref.Bool = slot != 0;
      return ref;
    default:
      break;
  }
  size_t size;
  ref.Data = GetLength(FBytes.At(slot), size);
  ref.Size = static_cast<qsizetype>(size);
  switch (tag) {
    case kUtf16:
      ref.Wide = true;
      ref.Size /= 2;
      ref.kind = K::Text;
      break;
    case kBytes:
      ref.kind = K::Bytes;
      break;
    case kGuid:
      ref.kind = K::Guid;
      break;
    default:
      ref.kind = K::Text;
      break;
  }
  return ref;
}

bool ParseDecimal(const char* text, size_t length, DecimalValue& out) {
  size_t i = 0;
  while (i < length && text[i] == ' ') ++i;
  while (length > i && text[length - 1] == ' ') --length;
  DecimalValue result;
  if (i < length && (text[i] == '-' || text[i] == '+')) result.Negative = text[i++] == '-';
  bool point = false;
  bool any = false;
  for (; i < length; ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      result.Digits.append(c);
      if (point) ++result.Scale;
      any = true;
    } else if ((c == '.' || c == ',') && !point) {
      // A driver may write the decimal point of the process's locale (psqlODBC: "1,50").
      point = true;
    } else {
      break;
    }
  }
  if (!any) return false;
  if (i < length) {
    if (text[i] != 'e' && text[i] != 'E') return false;
    ++i;
    bool negative = false;
    if (i < length && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i >= length) return false;
    int exponent = 0;
    for (; i < length; ++i) {
      if (text[i] < '0' || text[i] > '9' || exponent > 100000) return false;
      exponent = exponent * 10 + (text[i] - '0');
    }
    result.Scale += negative ? exponent : -exponent;
    if (result.Scale < 0) {
      result.Digits.append(QByteArray(-result.Scale, '0'));
      result.Scale = 0;
    }
  }
  out = std::move(result);
  return true;
}

QString GuidText(const char* bytes) {
  SQLGUID guid;
  std::memcpy(&guid, bytes, sizeof guid);
  QString text = QStringLiteral("{%1-%2-%3-")
                     .arg(guid.Data1, 8, 16, QLatin1Char('0'))
                     .arg(guid.Data2, 4, 16, QLatin1Char('0'))
                     .arg(guid.Data3, 4, 16, QLatin1Char('0'));
  for (int i = 0; i < 8; ++i) {
    if (i == 2) text += QLatin1Char('-');
    text += QStringLiteral("%1").arg(static_cast<unsigned char>(guid.Data4[i]), 2, 16,
                                     QLatin1Char('0'));
  }
  text += QLatin1Char('}');
  return text.toUpper();
}

}  // namespace ado
