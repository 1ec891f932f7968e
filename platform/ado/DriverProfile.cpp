#include "platform/ado/DriverProfile.h"

#include <odbcinst.h>

#include <array>

namespace ado {

namespace {

// SQLite's StepAPI leaves a statement unrun that yields no rows (WITH ... INSERT, PRAGMA x = y).
bool SqliteMayStream(QStringView statement) {
  return IsPlainQuery(statement);
}

// Whether the text ends where the server's parser would end it: every quote and comment closed
// and nothing after a ";" but blanks. A cursor around an unfinished text makes the server quote
// the wrapper in its error ("'abc;fetch 10000 in "SQL_CUR..."").
bool IsOneFinishedStatement(QStringView s) {
  const qsizetype n = s.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = s[i];
    if (c == u'\'' || c == u'"') {
      const qsizetype close = s.indexOf(c, i + 1);
      if (close < 0) return false;
      // E'...' escapes are read otherwise by the server; such a text goes the plain way.
      if (c == u'\'' && s.mid(i, close - i).contains(u'\\')) return false;
      i = close;
    } else if (c == u'/' && i + 1 < n && s[i + 1] == u'*') {
      const qsizetype close = s.indexOf(u"*/", i + 2);
      // Block comments nest in PostgreSQL.
      if (close < 0 || s.mid(i + 2, close - i - 2).contains(u"/*")) return false;
      i = close + 1;
    } else if (c == u'$') {
      return false;  // dollar quoting, or a positional parameter
    } else if (c == u';') {
      return s.mid(i + 1).trimmed().isEmpty();
    }
  }
  return true;
}

// psqlODBC's cursors refuse SELECT ... INTO and a data-changing WITH, lose a last line that is
// a comment, and inline parameter markers that the plain road sends to the server. A word
// "into", a line comment or a "?" anywhere and the statement goes the plain way: that costs
// memory, never a difference.
bool PostgresMayStream(QStringView statement) {
  return IsPlainQuery(statement) && !statement.contains(u"into", Qt::CaseInsensitive) &&
         !statement.contains(u"--") && !statement.contains(u'?') &&
         IsOneFinishedStatement(statement);
}

bool AnyStatement(QStringView) {
  return true;
}

DriverProfile Unknown() {
  return {};
}

DriverProfile Sqlite() {
  DriverProfile p;
  p.Family = DriverFamily::SQLite;
  p.NameParts[0] = "sqlite";
  p.DbmsNames[0] = "SQLite";
  p.StreamingKeyword = "StepAPI";
  p.StreamingValue = "1";
  p.MayStream = &SqliteMayStream;
  p.ChecksColumnsBeforeStreaming = true;
  p.BracesValues = false;
  p.DatabaseIsAFile = true;
  p.NoCreateKeyword = "NoCreat";
  p.ValuesAsText = true;
  p.FirstValueTyping = true;
  p.SmallBoundBuffers = true;
  p.CancelClosesStatement = true;
  return p;
}

DriverProfile Postgres() {
  DriverProfile p;
  p.Family = DriverFamily::PostgreSQL;
  p.NameParts[0] = "psqlodbc";
  p.NameParts[1] = "postgres";
  p.DbmsNames[0] = "PostgreSQL";
  p.StreamingKeyword = "UseDeclareFetch";
  p.StreamingValue = "1";
  p.CompanionKeyword = "Fetch";
  p.CompanionValue = "10000";
  p.MayStream = &PostgresMayStream;
  p.ReparsesSyntaxErrors = true;
  // psqlODBC refuses SQL_ATTR_LOGIN_TIMEOUT next to a connect_timeout of its own.
  p.OwnTimeoutKeyword = "pqopt";
  p.OwnTimeoutMarker = "connect_timeout";
  p.DatesAsServerText = true;
  p.MoneyTypeName = "money";
  return p;
}

DriverProfile MariaDb() {
  DriverProfile p;
  p.Family = DriverFamily::MariaDB;
  p.NameParts[0] = "maodbc";
  p.NameParts[1] = "mariadb";
  p.NameParts[2] = "myodbc";
  p.NameParts[3] = "mysql";
  p.DbmsNames[0] = "MariaDB";
  p.DbmsNames[1] = "MySQL";
  // Connector/ODBC streams from 3.1.17 on, and only through forward-only cursors, where its own
  // default is a static one; an older connector ignores both keywords and holds the whole
  // result before the first row is fetched.
  p.StreamingKeyword = "NO_CACHE";
  p.StreamingValue = "1";
  p.CompanionKeyword = "FORWARDONLY";
  p.CompanionValue = "1";
  p.MayStream = &AnyStatement;
  // Connector/ODBC ignores SQL_ATTR_LOGIN_TIMEOUT while it waits for the server's greeting.
  p.OwnTimeoutKeyword = "CONN_TIMEOUT";
  p.AddedTimeoutKeyword = "CONN_TIMEOUT";
  p.WideBitsAreNumbers = true;
  p.SetStatementHidesRows = true;
  return p;
}

const std::array<DriverProfile, 4>& Profiles() {
  static const std::array<DriverProfile, 4> profiles{Unknown(), Sqlite(), Postgres(), MariaDb()};
  return profiles;
}

QString RegisteredLibrary(const QString& driver) {
  std::array<char, 4096> buffer{};
  const int length =
      SQLGetPrivateProfileString(driver.toUtf8().constData(), "Driver", "", buffer.data(),
                                 static_cast<int>(buffer.size()), "odbcinst.ini");
  return length > 0 ? QString::fromUtf8(buffer.data()) : QString();
}

}  // namespace

const DriverProfile& ProfileOf(DriverFamily family) {
  for (const DriverProfile& p : Profiles())
    if (p.Family == family) return p;
  return Profiles().front();
}

// A driver is known by its registered name or its library's file name; both are looked at, so
// a driver registered under a name of the user's own is still recognised.
const DriverProfile& ProfileOfDriver(const QString& driver) {
  if (driver.isEmpty()) return Profiles().front();
  const QString library = driver.contains(u'/') ? QString() : RegisteredLibrary(driver);
  const QString names = (driver + u' ' + library).toLower();
  for (const DriverProfile& p : Profiles())
    for (const char* part : p.NameParts)
      if (part && names.contains(QLatin1String(part))) return p;
  return Profiles().front();
}

const DriverProfile& ProfileOfDbms(const QString& dbmsName) {
  for (const DriverProfile& p : Profiles())
    for (const char* name : p.DbmsNames)
      if (name && dbmsName == QLatin1String(name)) return p;
  return Profiles().front();
}

bool IsPlainQuery(QStringView statement) {
  const QChar* p = statement.data();
  const QChar* end = p + statement.size();
  for (;;) {
    while (p < end && p->isSpace()) ++p;
    if (end - p >= 2 && p[0] == u'-' && p[1] == u'-') {
      while (p < end && *p != u'\n') ++p;
    } else if (end - p >= 2 && p[0] == u'/' && p[1] == u'*') {
      p += 2;
      while (end - p >= 2 && !(p[0] == u'*' && p[1] == u'/')) ++p;
      p = end - p >= 2 ? p + 2 : end;
    } else {
      break;
    }
  }
  const QStringView word(p, std::min<qsizetype>(end - p, 6));
  if (word.compare(QLatin1String("SELECT"), Qt::CaseInsensitive) != 0) return false;
  return end - p == 6 || !(p[6].isLetterOrNumber() || p[6] == u'_');
}

}  // namespace ado
