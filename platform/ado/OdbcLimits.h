#pragma once

#include <QString>

namespace ado {

// What the ODBC API, the driver manager (unixODBC 2.3.11) and the drivers can take, measured:
// a longer connection string or driver name crashes the process instead of failing.
//
// The connection string's length travels as an SQLSMALLINT: psqlODBC reads 32768 to 65535
// characters as a negative length and crashes; longer ones wrap round.
inline constexpr qsizetype kMaxConnectionStringLength = 32767;
// The driver manager copies a DRIVER value into a buffer of 1000 characters; 1001 abort it.
inline constexpr qsizetype kMaxDriverNameLength = 1000;

// Refuses, as an EOleException, a connection string that holds a NUL (everything after it would
// be lost) or that exceeds the limits above. origin names where the string came from in the
// message ("The connection string", "The connection string in the data link file ...").
void CheckConnectionString(const QString& text, const QString& origin);

// Refuses a statement that holds a NUL: the driver would run only the part before it
// ("DELETE FROM t<NUL> WHERE id = 1" deletes every row).
void CheckStatementText(const QString& text);

}  // namespace ado
