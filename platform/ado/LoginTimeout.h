#pragma once

#include <QString>

namespace ado {

// Connecting to a server that accepts the connection and never answers would wait for ever.
// Unless the connection string sets a time-out of its own, connecting gives up after this long,
// the connection time-out that ADO applies by default.
inline constexpr int kDefaultLoginTimeoutSeconds = 15;

struct LoginTimeout {
  // The string to hand to the driver manager.
  QString ConnectionString;
  // SQL_ATTR_LOGIN_TIMEOUT to set before connecting; 0 leaves it unset.
  int AttributeSeconds = 0;
  // The default time-out applies (not one of the string's own).
  bool IsDefault = false;
};

// psqlODBC honours SQL_ATTR_LOGIN_TIMEOUT but refuses it next to a connect_timeout in pqopt;
// MariaDB Connector/ODBC ignores it while it waits for the server's greeting and only knows its
// own CONN_TIMEOUT keyword, which is added for it. Other strings go unchanged.
LoginTimeout PlanLoginTimeout(const QString& connectionString,
                              int seconds = kDefaultLoginTimeoutSeconds);

}  // namespace ado
