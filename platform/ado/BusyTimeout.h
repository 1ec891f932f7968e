#pragma once

#include "platform/ado/DriverProfile.h"

#include <QString>

class EOleException;

namespace ado {

// SQLite's driver waits 100 s for a database that another program has locked, and it waits
// again at every step that meets the lock: on connecting (it reads the schema) and on each
// statement. Unless the connection string (or its data source) sets the driver's Timeout=
// (milliseconds) itself, the wait is this long.
inline constexpr int kDefaultBusyTimeoutMs = 5000;

struct BusyTimeout {
  // The string to hand to the driver manager.
  QString ConnectionString;
  // How long the driver waits for a lock; 0 for other drivers.
  int WaitMs = 0;
};

// Adds Timeout=<milliseconds> to a string that reaches the SQLite driver and sets none. noWait
// asks for the shortest wait, whatever the string sets: the lock was met and waited for already.
BusyTimeout PlanBusyTimeout(const QString& connectionString, bool noWait = false,
                            int milliseconds = kDefaultBusyTimeoutMs);

// Whether the failure is the database being locked by another connection.
bool IsLockedError(DriverFamily family, const EOleException& error);

// The failure as the user reads it: the database is locked by another program, then the
// driver's text.
EOleException LockedError(const QString& driverText);

}  // namespace ado
