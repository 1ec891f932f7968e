#include "platform/ado/DriverFamily.h"

#include "platform/ado/OdbcConnectionString.h"

#include <odbcinst.h>

#include <array>

namespace ado {

namespace {

QString ProfileString(const QString& section, const QString& key, const char* file) {
  if (section.isEmpty()) return {};
  std::array<char, 4096> buffer{};
  const int length =
      SQLGetPrivateProfileString(section.toUtf8().constData(), key.toUtf8().constData(), "",
                                 buffer.data(), static_cast<int>(buffer.size()), file);
  return length > 0 ? QString::fromUtf8(buffer.data()) : QString();
}

// A driver is known by its registered name or its library's file name; both are looked at, so
// a driver registered under a name of the user's own is still recognised.
DriverFamily FamilyOfDriver(const QString& driver) {
  if (driver.isEmpty()) return DriverFamily::Unknown;
  const QString library = driver.contains(u'/')
                              ? QString()
                              : ProfileString(driver, QStringLiteral("Driver"), "odbcinst.ini");
  const QString names = (driver + u' ' + library).toLower();
  if (names.contains(QLatin1String("sqlite"))) return DriverFamily::SQLite;
  if (names.contains(QLatin1String("psqlodbc")) || names.contains(QLatin1String("postgres")))
    return DriverFamily::PostgreSQL;
  if (names.contains(QLatin1String("maodbc")) || names.contains(QLatin1String("mariadb")) ||
      names.contains(QLatin1String("myodbc")) || names.contains(QLatin1String("mysql")))
    return DriverFamily::MariaDB;
  return DriverFamily::Unknown;
}

}  // namespace

DriverFamily DriverFamilyOf(const OdbcConnectionString& parts) {
  // Of DRIVER and DSN, whichever comes first counts.
  for (const OdbcConnectionString::Pair& pair : parts.Pairs()) {
    if (pair.keyword.compare(QLatin1String("DRIVER"), Qt::CaseInsensitive) == 0)
      return FamilyOfDriver(pair.value);
    if (pair.keyword.compare(QLatin1String("DSN"), Qt::CaseInsensitive) == 0)
      return FamilyOfDriver(DataSourceSetting(pair.value, QStringLiteral("Driver")));
  }
  return DriverFamily::Unknown;
}

QString DataSourceSetting(const QString& dataSource, const QString& key) {
  return ProfileString(dataSource, key, "odbc.ini");
}

}  // namespace ado
