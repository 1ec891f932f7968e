#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

class TextSink;

// The user's number and date conventions, taken from the C library's locale: the decimal point
// of LC_NUMERIC and the date and time formats of LC_TIME (strftime formats). Read at start and
// again on demand; the main window calls Reload on Qt's locale-change event.
class RegionalSettings {
 public:
  QChar DecimalSeparator = u'.';
  QByteArray ShortDateFormat = "%Y-%m-%d";
  QByteArray LongTimeFormat = "%H:%M:%S";

  // The settings of the process's present locale. The C/POSIX locale gives ISO dates and times.
  static RegionalSettings FromLocale();

  // The settings every value text uses.
  static const RegionalSettings& Current();
  // The settings of the texts a sink takes: the current ones, or for exact texts "." and ISO
  // dates and times whatever the locale.
  static const RegionalSettings& For(const TextSink& out);
  // Reads the locale again.
  static void Reload();
  // Puts settings of one's own in place (tests); Reload brings back the locale's.
  static void SetCurrent(const RegionalSettings& settings);
};
