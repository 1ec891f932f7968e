#include "data/DateTimeText.h"
#include "data/RegionalSettings.h"
#include "tests/support/RegionalGuard.h"

#include <QDate>

#include <gtest/gtest.h>

using datetimetext::Date;
using datetimetext::DateTime;
using datetimetext::Decode;
using datetimetext::Time;

namespace {

RegionalSettings German() {
  RegionalSettings s;
  s.DecimalSeparator = u',';
  s.ShortDateFormat = "%d.%m.%Y";
  s.LongTimeFormat = "%H:%M:%S";
  return s;
}

}  // namespace

TEST(RegionalSettings, PlainLocaleGivesIsoFormatsAndPoint) {
  LocaleGuard c("C");
  ASSERT_TRUE(c.Active());
  const RegionalSettings s = RegionalSettings::FromLocale();
  EXPECT_EQ(s.DecimalSeparator, u'.');
  EXPECT_EQ(s.ShortDateFormat, "%Y-%m-%d");
  EXPECT_EQ(s.LongTimeFormat, "%H:%M:%S");
}

TEST(RegionalSettings, UtfVariantOfThePlainLocaleKeepsTheCentury) {
  // glibc's C.UTF-8 says "%m/%d/%y"; an export written under it would lose the century.
  for (const char* name : {"C.UTF-8", "C.utf8"}) {
    LocaleGuard c(name);
    if (!c.Active()) continue;
    const RegionalSettings s = RegionalSettings::FromLocale();
    EXPECT_EQ(s.ShortDateFormat, "%Y-%m-%d") << name;
    EXPECT_EQ(s.LongTimeFormat, "%H:%M:%S") << name;
    EXPECT_EQ(DateTime(45000.75, s), "2023-03-15 18:00:00") << name;
  }
}

TEST(RegionalSettings, GermanLocaleGivesCommaAndItsFormats) {
  LocaleGuard de("de_DE.iso88591");
  if (!de.Active()) GTEST_SKIP() << "de_DE.iso88591 not installed";
  RegionalSettings::Reload();
  const RegionalSettings& s = RegionalSettings::Current();
  EXPECT_EQ(s.DecimalSeparator, u',');
  EXPECT_EQ(s.ShortDateFormat, "%d.%m.%Y");
  EXPECT_EQ(s.LongTimeFormat, "%T");
  EXPECT_EQ(DateTime(45000.5, s), "15.03.2023 12:00:00");
}

TEST(RegionalSettings, ReloadReplacesInjectedSettings) {
  LocaleGuard c("C");
  {
    RegionalGuard g(German());
    EXPECT_EQ(RegionalSettings::Current().DecimalSeparator, u',');
  }
  EXPECT_EQ(RegionalSettings::Current().DecimalSeparator, u'.');
}

TEST(DateValues, DecodeDaysSince1899) {
  auto d = Decode(0);
  EXPECT_EQ(QString("%1-%2-%3").arg(d.Year).arg(d.Month).arg(d.Day), "1899-12-30");
  d = Decode(2.75);
  EXPECT_EQ(d.Day, 1);
  EXPECT_EQ(d.Month, 1);
  EXPECT_EQ(d.Year, 1900);
  EXPECT_EQ(d.Hour, 18);
  // Before the base day the whole days count back, the time still runs forward.
  d = Decode(-1.25);
  EXPECT_EQ(d.Day, 29);
  EXPECT_EQ(d.Hour, 6);
  // What lies below the second is dropped, never carried into the next second or day.
  d = Decode(1.0 - 1e-10);
  EXPECT_EQ(d.Day, 30);
  EXPECT_EQ(d.Hour, 23);
  EXPECT_EQ(d.Second, 59);
}

TEST(DateValues, TextsFollowTheFormats) {
  RegionalSettings iso;
  EXPECT_EQ(Date(45000.75, iso), "2023-03-15");
  EXPECT_EQ(Time(45000.75, iso), "18:00:00");
  EXPECT_EQ(DateTime(45000.75, iso), "2023-03-15 18:00:00");
  // Midnight to the second: the date alone, also with milliseconds left over.
  EXPECT_EQ(DateTime(45000.0, iso), "2023-03-15");
  EXPECT_EQ(DateTime(45000.0 + 0.4 / 86400, iso), "2023-03-15");
  EXPECT_EQ(DateTime(45000.0 + 1.0 / 86400, iso), "2023-03-15 00:00:01");
  EXPECT_EQ(Date(45000.75, German()), "15.03.2023");
  RegionalSettings us;
  us.ShortDateFormat = "%m/%d/%y";
  us.LongTimeFormat = "%I:%M:%S %p";
  // A two-digit year is widened: 1999, 2099 and 0099 must not all read 99.
  EXPECT_EQ(DateTime(45000.75, us), "03/15/2023 06:00:00 PM");
  for (const auto& [format, text] : {std::pair{"%m/%d/%y", "06/15/1999|06/15/2099|06/15/0099"},
                                     std::pair{"%D", "06/15/1999|06/15/2099|06/15/0099"},
                                     std::pair{"%d.%m.%Y", "15.06.1999|15.06.2099|15.06.0099"}}) {
    us.ShortDateFormat = format;
    QStringList dates;
    for (const int year : {1999, 2099, 99}) {
      const qint64 days = QDate(year, 6, 15).toJulianDay() - QDate(1899, 12, 30).toJulianDay();
      dates << Date(static_cast<double>(days), us);
    }
    EXPECT_EQ(dates.join(u'|'), QString::fromLatin1(text)) << format;
  }
}
