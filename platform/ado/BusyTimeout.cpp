#include "platform/ado/BusyTimeout.h"

#include "base/Exceptions.h"
#include "platform/ado/ConnectionTarget.h"
#include "platform/ado/OdbcCheck.h"
#include "platform/ado/OdbcConnectionString.h"
#include "platform/ado/OdbcLimits.h"

namespace ado {

namespace {

// The driver's own default, for a Timeout= it cannot read as a number.
constexpr int kDriverBusyTimeoutMs = 100000;

}  // namespace

BusyTimeout PlanBusyTimeout(const QString& connectionString, bool noWait, int milliseconds) {
  const OdbcConnectionString parts = OdbcConnectionString::Parse(connectionString);
  if (ConnectionTarget::Of(connectionString).Profile().Family != DriverFamily::SQLite)
    return {connectionString, 0};
  const QString keyword = QStringLiteral("Timeout");
  const QString own = parts.Contains(keyword)
                          ? parts.Value(keyword)
                          : DataSourceSetting(parts.Value(QStringLiteral("DSN")), keyword);
  QString extended;
  int wait = milliseconds;
  if (noWait) {
    // The driver takes the first Timeout of the string: the layer's goes in front.
    extended = QStringLiteral("%1=1;%2").arg(keyword, connectionString);
    wait = 1;
  } else if (!own.isEmpty()) {
    bool number = false;
    wait = own.trimmed().toInt(&number);
    return {connectionString, number && wait > 0 ? wait : kDriverBusyTimeoutMs};
  } else {
    extended = connectionString;
    if (!extended.isEmpty() && !extended.endsWith(u';')) extended += u';';
    extended += QStringLiteral("%1=%2").arg(keyword).arg(milliseconds);
  }
  if (extended.size() > kMaxConnectionStringLength) return {connectionString, kDriverBusyTimeoutMs};
  return {extended, wait};
}

bool IsLockedError(DriverFamily family, const EOleException& error) {
  // SQLITE_BUSY and SQLITE_LOCKED: "database is locked", "database table is locked".
  return family == DriverFamily::SQLite &&
         error.Message().contains(QLatin1String("is locked"), Qt::CaseInsensitive);
}

EOleException LockedError(const QString& driverText) {
  return ProviderError(
      QStringLiteral("The database is locked by another program; try again when it has "
                     "finished: %1")
          .arg(driverText));
}

}  // namespace ado
