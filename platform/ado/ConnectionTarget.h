#pragma once

#include "platform/ado/DriverProfile.h"
#include "platform/ado/OdbcConnectionString.h"

#include <QString>

namespace ado {

// Connecting to a server that accepts the connection and never answers would wait for ever.
// Unless the connection string sets a time-out of its own, connecting gives up after this long,
// the connection time-out that ADO applies by default.
inline constexpr int kDefaultLoginTimeoutSeconds = 15;

// How one connection is made: the string handed to the driver manager and its time-out.
struct Road {
  QString ConnectionString;
  // SQL_ATTR_LOGIN_TIMEOUT to set before connecting; 0 leaves it unset.
  int LoginTimeoutSeconds = 0;
  // The default time-out applies (not one of the string's own).
  bool DefaultTimeout = false;
  // The driver's streaming option is on.
  bool Streams = false;
};

// The user's connection string, parsed once: where it came from, its pairs, and the profile of
// the driver it reaches. Everything the layer decides about a connection is decided here,
// before connecting.
class ConnectionTarget {
 public:
  enum class Origin { Typed, DataLinkFile, DataSource };

  // Resolves a data link reference ("FILE NAME=<path>") and refuses a string the driver manager
  // or the driver could not take (EOleException, naming where the string came from).
  static ConnectionTarget Resolve(const QString& connectionString,
                                  int loginTimeoutSeconds = kDefaultLoginTimeoutSeconds);
  // The target of a string as it stands, without reading a data link file or checking it (the
  // connection dialog asks which driver a string names).
  static ConnectionTarget Of(const QString& connectionString);

  Origin From() const { return FOrigin; }
  const QString& Text() const { return FText; }
  const OdbcConnectionString& Parts() const { return FParts; }
  const DriverProfile& Profile() const { return *FProfile; }
  // A setting of the string, or else of the data source it names.
  QString Setting(const QString& keyword) const;

  // The road for a statement (empty: any statement may follow, which the plain road serves).
  // With parameters, or where the driver's streaming would change anything of it, the plain
  // road.
  Road RoadFor(const QString& statement, bool hasParameters) const;
  // The string without the streaming option.
  Road PlainRoad() const;

 private:
  Road WithTimeout(QString text, bool streams) const;

  Origin FOrigin = Origin::Typed;
  QString FText;
  OdbcConnectionString FParts;
  const DriverProfile* FProfile = nullptr;
  int FLoginTimeoutSeconds = kDefaultLoginTimeoutSeconds;
};

// A setting of a data source in odbc.ini (the user's, then the system's), or empty.
QString DataSourceSetting(const QString& dataSource, const QString& key);

}  // namespace ado
