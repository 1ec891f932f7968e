#include "data/DateTimeText.h"

#include "data/TextSink.h"
#include "platform/CodePage.h"

#include <QDate>

#include <langinfo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>

namespace datetimetext {

namespace {

constexpr qint64 kMicrosecondsPerDay = 86'400'000'000;

bool IsLeap(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Reads exactly count digits.
bool Digits(const char*& p, const char* end, int count, int& value) {
  if (end - p < count) return false;
  value = 0;
  for (int i = 0; i < count; ++i, ++p) {
    if (*p < '0' || *p > '9') return false;
    value = value * 10 + (*p - '0');
  }
  return true;
}

bool ParseDate(const char*& p, const char* end, DecodedDateTime& d) {
  return Digits(p, end, 4, d.Year) && p < end && *p++ == '-' && Digits(p, end, 2, d.Month) &&
         p < end && *p++ == '-' && Digits(p, end, 2, d.Day) && d.Year >= 1 && d.Month >= 1 &&
         d.Month <= 12 && d.Day >= 1 && d.Day <= DaysInMonth(d.Year, d.Month);
}

bool ParseTime(const char*& p, const char* end, DecodedDateTime& d) {
  if (!Digits(p, end, 2, d.Hour) || p >= end || *p++ != ':' || !Digits(p, end, 2, d.Minute))
    return false;
  d.Second = 0;
  d.Fraction = {};
  if (p < end && *p == ':') {
    ++p;
    if (!Digits(p, end, 2, d.Second)) return false;
    if (p < end && *p == '.') {
      const char* fraction = ++p;
      while (p < end && *p >= '0' && *p <= '9') ++p;
      if (p == fraction) return false;
      d.Fraction = std::string_view(fraction, static_cast<size_t>(p - fraction));
    }
  }
  return d.Hour < 24 && d.Minute < 60 && d.Second < 60;
}

void TwoDigits(int value, char* out) {
  out[0] = static_cast<char>('0' + value / 10 % 10);
  out[1] = static_cast<char>('0' + value % 10);
}

// The year with at least four digits: strftime's %Y does not pad years below 1000.
QByteArray PaddedYear(int year) {
  return QByteArray::number(year).rightJustified(4, '0');
}

// The format with every year conversion replaced by the padded year, so strftime leaves it. A
// two-digit year (%y, and %D and %x, which hold one in many locales) is widened to four digits:
// 1999, 2099 and 0099 must not all read "99".
QByteArray WithPaddedYear(const QByteArray& format, int year, bool nested = false) {
  QByteArray result;
  result.reserve(format.size() + 8);
  for (qsizetype i = 0; i < format.size(); ++i) {
    const char c = format.at(i);
    if (c != '%' || i + 1 >= format.size()) {
      result += c;
      continue;
    }
    // Flags, width and modifiers of one conversion.
    qsizetype j = i + 1;
    while (j < format.size() && QByteArrayView("_-0^#+EO0123456789").contains(format.at(j))) ++j;
    const char conversion = j < format.size() ? format.at(j) : '\0';
    if (conversion == 'Y' || conversion == 'G' || conversion == 'y' || conversion == 'g') {
      result += PaddedYear(year);
    } else if (conversion == 'D') {
      result += "%m/%d/" + PaddedYear(year);
    } else if (conversion == 'x' && !nested) {
      result += WithPaddedYear(QByteArray(nl_langinfo(D_FMT)), year, true);
    } else if (conversion == 'F') {
      result += PaddedYear(year) + "-%m-%d";
    } else if (conversion == '%') {
      result += "%%";
    } else {
      result += format.mid(i, j - i + 1);
    }
    i = j;
  }
  return result;
}

void Format(const QByteArray& format, const DecodedDateTime& d, TextSink& out) {
  // The usual formats, without the C library.
  if (format == "%Y-%m-%d" && d.Year <= 9999) {
    char text[10];
    const QByteArray year = PaddedYear(d.Year);
    std::memcpy(text, year.constData(), 4);
    text[4] = '-';
    TwoDigits(d.Month, text + 5);
    text[7] = '-';
    TwoDigits(d.Day, text + 8);
    return out.Ascii(text, sizeof text);
  }
  if (format == "%H:%M:%S") {
    char text[8];
    TwoDigits(d.Hour, text);
    text[2] = ':';
    TwoDigits(d.Minute, text + 3);
    text[5] = ':';
    TwoDigits(d.Second, text + 6);
    return out.Ascii(text, sizeof text);
  }
  const QDate date(d.Year, d.Month, d.Day);
  std::tm tm{};
  tm.tm_year = d.Year - 1900;
  tm.tm_mon = d.Month - 1;
  tm.tm_mday = d.Day;
  tm.tm_hour = d.Hour;
  tm.tm_min = d.Minute;
  tm.tm_sec = d.Second;
  tm.tm_wday = date.isValid() ? date.dayOfWeek() % 7 : 0;
  tm.tm_yday = date.isValid() ? date.dayOfYear() - 1 : 0;
  tm.tm_isdst = -1;
  char buffer[256];
  const QByteArray padded = WithPaddedYear(format, d.Year);
  const size_t n = std::strftime(buffer, sizeof buffer, padded.constData(), &tm);
  out.Text(codepage::ToUnicode(QByteArray(buffer, static_cast<qsizetype>(n))));
}

// The part of a second, for exact texts: the digits as the value has them.
void WriteFraction(const DecodedDateTime& d, TextSink& out) {
  if (!d.Fraction.empty()) {
    out.Char(u'.');
    return out.Ascii(d.Fraction);
  }
  if (d.Millisecond == 0) return;
  char text[4] = {'.'};
  text[1] = static_cast<char>('0' + d.Millisecond / 100);
  TwoDigits(d.Millisecond % 100, text + 2);
  int n = 4;
  while (text[n - 1] == '0') --n;
  out.Ascii(text, static_cast<size_t>(n));
}

}  // namespace

bool DecodedDateTime::HasFraction() const {
  return Millisecond != 0 || Fraction.find_first_not_of('0') != std::string_view::npos;
}

DecodedDateTime Decode(double value) {
  DecodedDateTime d;
  if (!std::isfinite(value) || std::fabs(value) > 3.0e6) return d;  // outside every calendar
  const double whole = std::trunc(value);
  // To the microsecond, which undoes the binary fraction's error; below the second dropped.
  const qint64 us = std::min(std::llround(std::fabs(value - whole) * kMicrosecondsPerDay),
                             kMicrosecondsPerDay - 1);
  const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(whole));
  d.Year = date.year();
  d.Month = date.month();
  d.Day = date.day();
  const qint64 ms = us / 1000;
  d.Hour = static_cast<int>(ms / 3'600'000);
  d.Minute = static_cast<int>(ms / 60'000 % 60);
  d.Second = static_cast<int>(ms / 1000 % 60);
  d.Millisecond = static_cast<int>(ms % 1000);
  return d;
}

Shape Parse(const char* text, size_t size, DecodedDateTime& out) {
  const char* p = text;
  const char* end = text + size;
  DecodedDateTime d;
  if (size >= 5 && text[2] == ':') {
    if (!ParseTime(p, end, d) || p != end) return Shape::None;
    out = d;
    return Shape::Time;
  }
  if (!ParseDate(p, end, d)) return Shape::None;
  if (p == end) {
    d.Hour = d.Minute = d.Second = 0;
    d.Fraction = {};
    out = d;
    return Shape::Date;
  }
  if (*p != ' ' && *p != 'T') return Shape::None;
  ++p;
  if (!ParseTime(p, end, d) || p != end) return Shape::None;
  out = d;
  return Shape::DateTime;
}

void WriteDate(const DecodedDateTime& d, const RegionalSettings& settings, TextSink& out) {
  Format(settings.ShortDateFormat, d, out);
}

void WriteTime(const DecodedDateTime& d, const RegionalSettings& settings, TextSink& out) {
  Format(settings.LongTimeFormat, d, out);
  if (out.IsExact()) WriteFraction(d, out);
}

void WriteDateTime(const DecodedDateTime& d, const RegionalSettings& settings, TextSink& out) {
  Format(settings.ShortDateFormat, d, out);
  if (out.IsExact() || d.Hour != 0 || d.Minute != 0 || d.Second != 0) {
    out.Char(u' ');
    WriteTime(d, settings, out);
  }
}

QString Date(double value, const RegionalSettings& settings) {
  TextSink sink;
  WriteDate(Decode(value), settings, sink);
  return sink.TakeString();
}

QString Time(double value, const RegionalSettings& settings) {
  TextSink sink;
  WriteTime(Decode(value), settings, sink);
  return sink.TakeString();
}

QString DateTime(double value, const RegionalSettings& settings) {
  TextSink sink;
  WriteDateTime(Decode(value), settings, sink);
  return sink.TakeString();
}

}  // namespace datetimetext
