#include "data/ValueConvert.h"

#include "base/Exceptions.h"
#include "data/NumberText.h"
#include "data/RegionalSettings.h"
#include "data/TextSink.h"
#include "platform/ado/ColumnStore.h"

#include <cmath>
#include <string>

namespace valueconvert {

namespace {

// DISP_E_TYPEMISMATCH, the code of a refused conversion.
constexpr qint32 kTypeMismatch = static_cast<qint32>(0x80020005);

[[noreturn]] void Refuse(const char* target) {
  throw EOleException(
      QStringLiteral("Could not convert the value to %1").arg(QLatin1String(target)),
      kTypeMismatch);
}

QChar Separator(const TextSink& out) {
  return RegionalSettings::For(out).DecimalSeparator;
}

}  // namespace

Utf8Text::Utf8Text(const ado::ValueRef& value) {
  if (value.Wide) {
    FCopy = value.TextString().toUtf8();
    FData = FCopy.constData();
    FSize = static_cast<size_t>(FCopy.size());
  } else {
    FData = value.Data;
    FSize = static_cast<size_t>(value.Size);
  }
}

QString BytesAsUnits(const char* bytes, qsizetype size) {
  const qsizetype units = size / 2;
  QString text(units, Qt::Uninitialized);
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  for (qsizetype i = 0; i < units; ++i)
    text[i] = QChar(static_cast<char16_t>(b[2 * i] | (b[2 * i + 1] << 8)));
  return text;
}

QString BytesText(const char* bytes, qsizetype size) {
  const QString units = BytesAsUnits(bytes, size);
  bool text = size % 2 == 0;
  for (qsizetype i = 0; text && i < units.size(); ++i) {
    const QChar c = units.at(i);
    if (c.isNull()) {
      text = false;
    } else if (c.isHighSurrogate()) {
      text = i + 1 < units.size() && units.at(i + 1).isLowSurrogate();
      ++i;
    } else if (c.isLowSurrogate()) {
      text = false;
    }
  }
  if (text) return units;
  return QStringLiteral("0x") + QString::fromLatin1(QByteArray(bytes, size).toHex().toUpper());
}

void WriteBytes(const char* bytes, qsizetype size, TextSink& out) {
  if (!out.IsExact()) return out.Text(BytesText(bytes, size));
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  text.resize(2 + 2 * static_cast<size_t>(size));
  text[0] = '\\';
  text[1] = 'x';
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  for (qsizetype i = 0; i < size; ++i) {
    text[2 + 2 * i] = kHex[b[i] >> 4];
    text[3 + 2 * i] = kHex[b[i] & 0xf];
  }
  out.Ascii(text);
}

void WriteTruth(bool value, TextSink& out) {
  if (out.IsExact())
    out.Ascii(value ? "true" : "false");
  else
    out.Ascii(value ? "True" : "False");
}

void WriteText(const ado::ValueRef& value, TextSink& out) {
  if (value.Wide)
    out.Units(value.Units(), static_cast<size_t>(value.Size));
  else
    out.Utf8(value.Data, static_cast<size_t>(value.Size));
}

void WriteAnyText(const ado::ValueRef& value, TextSink& out) {
  using K = ado::Value::Kind;
  switch (value.kind) {
    case K::Null:
      return;
    case K::Int:
      return numbertext::WriteInteger(value.Int, out);
    case K::UInt:
      return numbertext::WriteUnsigned(value.UInt, out);
    case K::Double:
      return numbertext::WriteReal(value.Double, Separator(out), out);
    case K::Bool:
      return WriteTruth(value.Bool, out);
    case K::Bytes:
      return WriteBytes(value.Data, value.Size, out);
    case K::Text:
    case K::Guid:
      return WriteText(value, out);
  }
}

void WriteIntegerText(const ado::ValueRef& value, TextSink& out) {
  using K = ado::Value::Kind;
  switch (value.kind) {
    case K::Bool:
      return out.Ascii(value.Bool ? "1" : "0");
    case K::Double:
      if (std::trunc(value.Double) == value.Double && std::fabs(value.Double) < 9.2e18)
        return numbertext::WriteInteger(static_cast<qint64>(value.Double), out);
      break;
    default:
      break;
  }
  WriteAnyText(value, out);
}

void WriteDecimalText(const ado::ValueRef& value, QChar separator, TextSink& out) {
  ado::DecimalValue decimal;
  const Utf8Text text(value);
  if (ado::ParseDecimal(text.Data(), text.Size(), decimal))
    return numbertext::WriteDecimal(decimal, separator, out);
  WriteText(value, out);
}

QString AnyText(const ado::ValueRef& value) {
  TextSink sink;
  WriteAnyText(value, sink);
  return sink.TakeString();
}

double ToDouble(const ado::ValueRef& value) {
  using K = ado::Value::Kind;
  switch (value.kind) {
    case K::Null:
      return 0;
    case K::Int:
      return static_cast<double>(value.Int);
    case K::UInt:
      return static_cast<double>(value.UInt);
    case K::Double:
      return value.Double;
    case K::Bool:
      return value.Bool ? 1 : 0;
    case K::Text: {
      bool ok = false;
      const double d = value.TextString().trimmed().toDouble(&ok);
      if (ok) return d;
      Refuse("a number");
    }
    case K::Bytes:
    case K::Guid:
      Refuse("a number");
  }
  return 0;
}

bool ToBool(const ado::ValueRef& value) {
  using K = ado::Value::Kind;
  switch (value.kind) {
    case K::Bool:
      return value.Bool;
    case K::Int:
      return value.Int != 0;
    case K::UInt:
      return value.UInt != 0;
    case K::Null:
      return false;
    default:
      return ToDouble(value) != 0;
  }
}

}  // namespace valueconvert
