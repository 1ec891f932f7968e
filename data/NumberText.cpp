#include "data/NumberText.h"

#include "data/TextSink.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace numbertext {

namespace {

// The digits of a decimal without leading zeros of its integer part and trailing zeros of its
// fraction.
struct Trimmed {
  QByteArray Integer;
  QByteArray Fraction;
};

Trimmed Trim(const ado::DecimalValue& value) {
  QByteArray digits = value.Digits;
  const int scale = value.Scale < 0 ? 0 : value.Scale;
  // A scale beyond the digits means leading zeros of the fraction.
  if (digits.size() < scale) digits.prepend(QByteArray(scale - digits.size(), '0'));
  // A negative scale multiplies by a power of ten.
  if (value.Scale < 0) digits.append(QByteArray(-value.Scale, '0'));
  Trimmed t;
  t.Integer = digits.left(digits.size() - scale);
  t.Fraction = digits.right(scale);
  qsizetype lead = 0;
  while (lead < t.Integer.size() && t.Integer.at(lead) == '0') ++lead;
  t.Integer.remove(0, lead);
  qsizetype end = t.Fraction.size();
  while (end > 0 && t.Fraction.at(end - 1) == '0') --end;
  t.Fraction.truncate(end);
  return t;
}

// The significant digits (at most 15, trailing zeros dropped) and e, with the value
// 0.d1d2... × 10^e.
int Digits15(double magnitude, char* digits, int& exp10) {
  char buffer[40];
  // The shortest text that reads back as the value is the 15-digit rounding whenever it has at
  // most 15 digits, since a normal double is finer than 15 digits; it costs far less to make. A
  // subnormal one is coarser (5E-324 reads back as 4.94065645841247E-324).
  auto r = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
  const char* e = buffer;
  while (e < r.ptr && *e != 'e') ++e;
  int count = 0;
  for (const char* p = buffer; p < e; ++p)
    if (*p != '.') ++count;
  if (count > 15 || magnitude < std::numeric_limits<double>::min()) {
    r = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
    e = buffer;
    while (e < r.ptr && *e != 'e') ++e;
  }
  int exponent = 0;
  std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), r.ptr, exponent);
  count = 0;
  for (const char* p = buffer; p < e; ++p)
    if (*p != '.') digits[count++] = *p;
  while (count > 1 && digits[count - 1] == '0') --count;
  exp10 = exponent + 1;
  return count;
}

}  // namespace

void WriteInteger(qint64 value, TextSink& out) {
  char buffer[24];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.Ascii(buffer, static_cast<size_t>(r.ptr - buffer));
}

void WriteUnsigned(quint64 value, TextSink& out) {
  char buffer[24];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.Ascii(buffer, static_cast<size_t>(r.ptr - buffer));
}

// Most stored reals are decimals of a few places (prices, measures): a value that turns whole
// when multiplied by 10^k, below 10^15, is N / 10^k with N's digits as its own 15-digit
// rounding (a double's error is far below half a unit of the 15th digit). Written from N's
// digits at once; false leaves the value to the general way.
static bool WriteShortDecimal(double value, QChar separator, TextSink& out) {
  static constexpr double kPowers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
  const double magnitude = std::fabs(value);
  if (!(magnitude >= 1e-3 && magnitude < 1e15)) return false;
  for (int k = 0; k < 9; ++k) {
    const double scaled = magnitude * kPowers[k];
    if (scaled >= 1e15) return false;
    if (scaled != std::trunc(scaled)) continue;
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, static_cast<qint64>(scaled));
    int count = static_cast<int>(r.ptr - digits);
    while (k > 0 && digits[count - 1] == '0') {  // no trailing zeros in the fraction
      --count;
      --k;
    }
    char text[40];
    int n = 0;
    if (value < 0) text[n++] = '-';
    const int whole = count - k;  // digits before the point
    if (whole <= 0) {
      text[n++] = '0';
      text[n++] = '.';
      for (int i = 0; i < -whole; ++i) text[n++] = '0';
      for (int i = 0; i < count; ++i) text[n++] = digits[i];
    } else {
      for (int i = 0; i < whole; ++i) text[n++] = digits[i];
      if (k > 0) {
        text[n++] = '.';
        for (int i = whole; i < count; ++i) text[n++] = digits[i];
      }
    }
    out.Number(text, static_cast<size_t>(n), separator);
    return true;
  }
  return false;
}

void WriteGeneral(double value, QChar separator, TextSink& out) {
  if (std::isnan(value)) return out.Ascii("NAN");
  if (std::isinf(value)) return out.Ascii(value > 0 ? "INF" : "-INF");
  if (value == 0) return out.Ascii("0");
  if (WriteShortDecimal(value, separator, out)) return;
  char digits[20] = {};  // zeroed: some optimisers cannot see that Digits15 fills what is read
  int exp10 = 0;
  const int count = Digits15(std::fabs(value), digits, exp10);
  // Built in ASCII with "." for the separator, which Number then writes.
  char text[48];
  int n = 0;
  if (value < 0) text[n++] = '-';
  if (exp10 >= -3 && exp10 <= 15) {
    if (exp10 <= 0) {
      text[n++] = '0';
      text[n++] = '.';
      for (int i = 0; i < -exp10; ++i) text[n++] = '0';
      for (int i = 0; i < count; ++i) text[n++] = digits[i];
    } else {
      for (int i = 0; i < exp10; ++i) text[n++] = i < count ? digits[i] : '0';
      if (count > exp10) {
        text[n++] = '.';
        for (int i = exp10; i < count; ++i) text[n++] = digits[i];
      }
    }
  } else {
    text[n++] = digits[0];
    if (count > 1) {
      text[n++] = '.';
      for (int i = 1; i < count; ++i) text[n++] = digits[i];
    }
    text[n++] = 'E';
    const auto r = std::to_chars(text + n, text + sizeof text, exp10 - 1);
    n = static_cast<int>(r.ptr - text);
  }
  out.Number(text, static_cast<size_t>(n), separator);
}

void WriteReal(double value, QChar separator, TextSink& out) {
  if (!out.IsExact()) return WriteGeneral(value, separator, out);
  char text[32];
  const auto r = std::to_chars(text, text + sizeof text, value);
  out.Ascii(text, static_cast<size_t>(r.ptr - text));
}

void WriteFixedPoint(qint64 tenThousandths, QChar separator, TextSink& out) {
  const bool negative = tenThousandths < 0;
  // The magnitude, safe for the most negative value.
  const quint64 magnitude = negative ? quint64(0) - static_cast<quint64>(tenThousandths)
                                     : static_cast<quint64>(tenThousandths);
  if (negative) out.Char(u'-');
  WriteUnsigned(magnitude / 10000, out);
  quint64 fraction = magnitude % 10000;
  if (fraction == 0) return;
  int width = 4;
  while (fraction % 10 == 0) {
    fraction /= 10;
    --width;
  }
  char text[8] = {'.', '0', '0', '0', '0'};
  for (int i = width; i >= 1; --i, fraction /= 10) text[i] = static_cast<char>('0' + fraction % 10);
  out.Number(text, static_cast<size_t>(width + 1), separator);
}

void WriteDecimal(const ado::DecimalValue& value, QChar separator, TextSink& out) {
  const Trimmed t = Trim(value);
  if (t.Integer.isEmpty() && t.Fraction.isEmpty()) return out.Ascii("0");
  if (value.Negative) out.Char(u'-');
  if (t.Integer.isEmpty())
    out.Char(u'0');
  else
    out.Ascii(t.Integer.constData(), static_cast<size_t>(t.Integer.size()));
  if (!t.Fraction.isEmpty()) {
    out.Char(separator.unicode());
    out.Ascii(t.Fraction.constData(), static_cast<size_t>(t.Fraction.size()));
  }
}

QString Integer(qint64 value) {
  TextSink sink;
  WriteInteger(value, sink);
  return sink.TakeString();
}

QString Unsigned(quint64 value) {
  TextSink sink;
  WriteUnsigned(value, sink);
  return sink.TakeString();
}

QString General(double value, QChar separator) {
  TextSink sink;
  WriteGeneral(value, separator, sink);
  return sink.TakeString();
}

QString FixedPoint(qint64 tenThousandths, QChar separator) {
  TextSink sink;
  WriteFixedPoint(tenThousandths, separator, sink);
  return sink.TakeString();
}

QString Decimal(const ado::DecimalValue& value, QChar separator) {
  TextSink sink;
  WriteDecimal(value, separator, sink);
  return sink.TakeString();
}

}  // namespace numbertext
