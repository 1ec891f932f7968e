#include "platform/ado/LoginTimeout.h"

#include "platform/ado/DriverFamily.h"
#include "platform/ado/OdbcConnectionString.h"
#include "platform/ado/OdbcLimits.h"

namespace ado {

namespace {

// The setting of the string, or else of the data source it names.
QString Setting(const OdbcConnectionString& parts, const QString& key) {
  if (parts.Contains(key)) return parts.Value(key);
  return DataSourceSetting(parts.Value(QStringLiteral("DSN")), key);
}

bool SetsOwnTimeout(const OdbcConnectionString& parts, DriverFamily family) {
  switch (family) {
    case DriverFamily::PostgreSQL:
      return Setting(parts, QStringLiteral("pqopt")).contains(QLatin1String("connect_timeout"));
    case DriverFamily::MariaDB:
      return !Setting(parts, QStringLiteral("CONN_TIMEOUT")).isEmpty();
    default:
      return false;
  }
}

}  // namespace

LoginTimeout PlanLoginTimeout(const QString& connectionString, int seconds) {
  LoginTimeout plan;
  plan.ConnectionString = connectionString;
  const OdbcConnectionString parts = OdbcConnectionString::Parse(connectionString);
  const DriverFamily family = DriverFamilyOf(parts);
  if (SetsOwnTimeout(parts, family)) return plan;
  plan.AttributeSeconds = seconds;
  plan.IsDefault = true;
  if (family == DriverFamily::MariaDB) {
    QString extended = connectionString;
    if (!extended.isEmpty() && !extended.endsWith(u';')) extended += u';';
    extended += QStringLiteral("CONN_TIMEOUT=%1").arg(seconds);
    if (extended.size() <= kMaxConnectionStringLength) plan.ConnectionString = extended;
  }
  return plan;
}

}  // namespace ado
