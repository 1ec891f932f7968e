#include "data/DateTimeText.h"

#include "platform/CodePage.h"

#include <QDate>

#include <cmath>
#include <ctime>

namespace datetimetext {

namespace {

constexpr qint64 kMsPerDay = 86'400'000;

QString Format(const QByteArray& format, const DecodedDateTime& d) {
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
  const size_t n = std::strftime(buffer, sizeof buffer, format.constData(), &tm);
  return codepage::ToUnicode(QByteArray(buffer, static_cast<qsizetype>(n)));
}

}  // namespace

DecodedDateTime Decode(double value) {
  DecodedDateTime d;
  if (!std::isfinite(value) || std::fabs(value) > 3.0e6) return d;  // outside every calendar
  double whole = std::trunc(value);
  qint64 ms = std::llround(std::fabs(value - whole) * kMsPerDay);
  if (ms >= kMsPerDay) {  // rounding reached the next midnight
    ms -= kMsPerDay;
    whole += 1;
  }
  const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(whole));
  d.Year = date.year();
  d.Month = date.month();
  d.Day = date.day();
  d.Hour = static_cast<int>(ms / 3'600'000);
  d.Minute = static_cast<int>(ms / 60'000 % 60);
  d.Second = static_cast<int>(ms / 1000 % 60);
  d.Millisecond = static_cast<int>(ms % 1000);
  return d;
}

QString Date(double value, const RegionalSettings& settings) {
  return Format(settings.ShortDateFormat, Decode(value));
}

QString Time(double value, const RegionalSettings& settings) {
  return Format(settings.LongTimeFormat, Decode(value));
}

QString DateTime(double value, const RegionalSettings& settings) {
  const DecodedDateTime d = Decode(value);
  QString text = Format(settings.ShortDateFormat, d);
  if (d.Hour != 0 || d.Minute != 0 || d.Second != 0) {
    text += u' ';
    text += Format(settings.LongTimeFormat, d);
  }
  return text;
}

}  // namespace datetimetext
