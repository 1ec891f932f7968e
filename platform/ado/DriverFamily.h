#pragma once

#include <QString>

namespace ado {

class OdbcConnectionString;

// The drivers whose own quirks the layer has to know about (a keyword, a time-out, a limit).
enum class DriverFamily { Unknown, SQLite, PostgreSQL, MariaDB };

// The family of the driver a connection string reaches: by its DRIVER (a name registered in
// odbcinst.ini, or a library path), or by the Driver entry of the data source named by DSN.
DriverFamily DriverFamilyOf(const OdbcConnectionString& parts);

// A setting of a data source in odbc.ini (the user's, then the system's), or empty.
QString DataSourceSetting(const QString& dataSource, const QString& key);

}  // namespace ado
