#include "data/NumberText.h"

#include "base/Exceptions.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace numbertext {

namespace {

QString Ascii(const char* begin, const char* end) {
  return QString::fromLatin1(begin, static_cast<qsizetype>(end - begin));
}

[[noreturn]] void Overflow() {
  throw EBcdOverflowException(QStringLiteral("BCD overflow"));
}

// The digits of a decimal without leading zeros of its integer part and trailing zeros of
// its fraction: the integer digits and the fraction digits.
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
  for (const char c : digits)
    if (c < '0' || c > '9') Overflow();
  return t;
}

}  // namespace

QString Integer(qint64 value) {
  char buffer[24];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
  return Ascii(buffer, r.ptr);
}

QString Unsigned(quint64 value) {
  char buffer[24];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
  return Ascii(buffer, r.ptr);
}

QString General(double value, QChar separator) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  if (std::isinf(value)) return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
  if (value == 0) return QStringLiteral("0");

  // d.dddddddddddddde±x: 15 significant digits, correctly rounded.
  char buffer[40];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                               std::chars_format::scientific, 14);
  const char* e = buffer;
  while (e < r.ptr && *e != 'e') ++e;
  int exponent = 0;
  std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), r.ptr, exponent);
  char digits[16];
  int count = 0;
  for (const char* p = buffer; p < e; ++p)
    if (*p != '.') digits[count++] = *p;
  while (count > 1 && digits[count - 1] == '0') --count;
  const int exp10 = exponent + 1;  // value = 0.d1d2... × 10^exp10

  QString out;
  out.reserve(24);
  if (value < 0) out += u'-';
  if (exp10 >= -3 && exp10 <= 15) {
    if (exp10 <= 0) {
      out += u'0';
      out += separator;
      for (int i = 0; i < -exp10; ++i) out += u'0';
      out += QLatin1String(digits, count);
    } else {
      for (int i = 0; i < exp10; ++i) out += i < count ? QChar(digits[i]) : QChar(u'0');
      if (count > exp10) {
        out += separator;
        out += QLatin1String(digits + exp10, count - exp10);
      }
    }
  } else {
    out += QChar(digits[0]);
    if (count > 1) {
      out += separator;
      out += QLatin1String(digits + 1, count - 1);
    }
    out += u'E';
    out += Integer(exp10 - 1);
  }
  return out;
}

QString FixedPoint(qint64 tenThousandths, QChar separator) {
  const bool negative = tenThousandths < 0;
  // The magnitude, safe for the most negative value.
  const quint64 magnitude = negative ? quint64(0) - static_cast<quint64>(tenThousandths)
                                     : static_cast<quint64>(tenThousandths);
  QString out = negative ? QStringLiteral("-") : QString();
  out += Unsigned(magnitude / 10000);
  quint64 fraction = magnitude % 10000;
  if (fraction != 0) {
    int width = 4;
    while (fraction % 10 == 0) {
      fraction /= 10;
      --width;
    }
    QString digits = Unsigned(fraction);
    out += separator;
    out += QString(width - digits.size(), u'0');
    out += digits;
  }
  return out;
}

QString Decimal(const ado::DecimalValue& value, QChar separator) {
  const Trimmed t = Trim(value);
  if (t.Integer.size() + t.Fraction.size() > kMaxDecimalDigits) Overflow();
  QString out;
  if (t.Integer.isEmpty() && t.Fraction.isEmpty()) return QStringLiteral("0");
  if (value.Negative) out += u'-';
  out += t.Integer.isEmpty() ? QStringLiteral("0") : QString::fromLatin1(t.Integer);
  if (!t.Fraction.isEmpty()) {
    out += separator;
    out += QString::fromLatin1(t.Fraction);
  }
  return out;
}

qint64 DecimalToTenThousandths(const ado::DecimalValue& value) {
  Trimmed t = Trim(value);
  QByteArray fraction = t.Fraction.leftJustified(5, '0', true);
  const bool roundUp = fraction.at(4) >= '5';
  QByteArray all = t.Integer + fraction.left(4);
  if (all.size() > 20) Overflow();
  if (all.isEmpty()) all = "0";
  quint64 magnitude = 0;
  const auto r = std::from_chars(all.constData(), all.constData() + all.size(), magnitude);
  if (r.ec != std::errc()) Overflow();
  if (roundUp) {
    if (magnitude == std::numeric_limits<quint64>::max()) Overflow();
    ++magnitude;
  }
  const quint64 limit =
      static_cast<quint64>(std::numeric_limits<qint64>::max()) + (value.Negative ? 1 : 0);
  if (magnitude > limit) Overflow();
  return value.Negative ? static_cast<qint64>(quint64(0) - magnitude)
                        : static_cast<qint64>(magnitude);
}

}  // namespace numbertext
