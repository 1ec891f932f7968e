#pragma once

#include <QString>
#include <QStringView>

namespace ado {

// The drivers whose own ways the layer has to know.
enum class DriverFamily { Unknown, SQLite, PostgreSQL, MariaDB };

// Every fact about a driver that Rowmill relies on, one row per driver family (DriverProfile.cpp).
// A new driver or a new quirk is a row or a column here, and a test.
struct DriverProfile {
  DriverFamily Family = DriverFamily::Unknown;
  // Known by: parts of its registered name or library file name (lower case), and the name it
  // reports as SQL_DBMS_NAME once connected.
  const char* NameParts[4] = {};
  const char* DbmsNames[2] = {};

  // Streaming: the option that makes the driver hand rows over as they are read, and a
  // companion setting (rows per round trip, or the cursor the option needs); each added only
  // where the string (and, for the option, its data source) leaves it unset.
  const char* StreamingKeyword = nullptr;
  const char* StreamingValue = nullptr;
  const char* CompanionKeyword = nullptr;
  const char* CompanionValue = nullptr;
  // Which statements may take the streaming road, decided from the text before connecting: the
  // others would see a difference (a statement left unrun, an error in the driver's own words,
  // parameters treated otherwise).
  bool (*MayStream)(QStringView statement) = nullptr;
  // The streaming road describes some columns otherwise (SQLite: a column without a declared
  // type); the statement is prepared and its columns looked at before it runs.
  bool ChecksColumnsBeforeStreaming = false;
  // The streaming road wraps a query in a cursor, so a syntax error quotes the wrapper; such a
  // statement is parsed again alone (PREPARE, which runs nothing) for the server's own words.
  bool ReparsesSyntaxErrors = false;

  // The connect time-out: a keyword of the string (or data source) that sets one of its own,
  // with the text its value must hold to set it; and a keyword to add for it where the driver
  // ignores SQL_ATTR_LOGIN_TIMEOUT while it waits for the server.
  const char* OwnTimeoutKeyword = nullptr;
  const char* OwnTimeoutMarker = nullptr;
  const char* AddedTimeoutKeyword = nullptr;
  // A value the connection string dialog writes in braces, or as it stands (the SQLite driver
  // knows no braces, so it cannot take a value holding ";").
  bool BracesValues = true;
  // The database is a file the dialog lets the user pick, and the setting that stops the driver
  // from creating a missing one (SQLite's NoCreat=1): testing a connection must not create it.
  bool DatabaseIsAFile = false;
  const char* NoCreateKeyword = nullptr;

  // Values. Every value comes as the database's own text, whatever the declared type (SQLite's
  // dynamic typing); a column without a declared type is typed by its first value.
  bool ValuesAsText = false;
  bool FirstValueTyping = false;
  // Dates and timestamps are read as the server writes them (era, years past 9999, infinity),
  // since the driver's own date conversion drops what its structures cannot hold.
  bool DatesAsServerText = false;
  // The database's money type, read as its text and kept exactly (the driver says double).
  const char* MoneyTypeName = nullptr;
  // BIT(n) with n > 1 is a number, not a truth value.
  bool WideBitsAreNumbers = false;
  // SQLCancel closes the statement under the feet of the thread that runs it: a stop is asked by
  // the flag alone, between the steps of the work.
  bool CancelClosesStatement = false;
  // The driver takes "SET STATEMENT ... FOR <query>" for a statement without rows and drops
  // them; the prefix is sent in an executable comment (SetStatement.h).
  bool SetStatementHidesRows = false;
  // What the driver calls SQL_GETDATA_EXTENSIONS does not hold for bound buffers: it fills
  // them whole and declares sizes it does not keep, so values are fetched in small buffers.
  bool SmallBoundBuffers = false;
};

// The profile of a family (the Unknown row for a driver without quirks).
const DriverProfile& ProfileOf(DriverFamily family);
// The profile of a driver by its registered name or library path (and the library file its
// registration names).
const DriverProfile& ProfileOfDriver(const QString& driver);
// The profile of the database a connected driver reports.
const DriverProfile& ProfileOfDbms(const QString& dbmsName);

// Whether a statement is a plain query: its first word, after blanks and comments, is SELECT.
bool IsPlainQuery(QStringView statement);

}  // namespace ado
