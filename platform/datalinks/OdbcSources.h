#pragma once

#include <QStringList>

// What the driver manager knows of: the installed drivers and the user and system data sources,
// each by name, in the driver manager's order. Empty when the driver manager cannot be reached.
namespace odbcsources {

QStringList InstalledDrivers();
QStringList DataSourceNames();

}  // namespace odbcsources
