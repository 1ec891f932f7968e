#include "platform/ado/OdbcCheck.h"

#include "base/Messages.h"
#include "platform/ado/OdbcText.h"

#include <sqlext.h>

#include <vector>

namespace ado {

namespace {

struct DiagRecord {
  QString State;
  QString Text;
};

// Diagnostic record number (1-based), or nothing when there is none.
bool ReadDiagRecord(SQLSMALLINT handleType, SQLHANDLE handle, SQLSMALLINT number, DiagRecord& out) {
  SQLWCHAR sqlState[6] = {};
  SQLINTEGER native = 0;
  std::vector<SQLWCHAR> message(1024);
  SQLSMALLINT length = 0;
  SQLRETURN diag = SQLGetDiagRecW(handleType, handle, number, sqlState, &native, message.data(),
                                  static_cast<SQLSMALLINT>(message.size()), &length);
  if (diag == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
    message.resize(static_cast<size_t>(length) + 1);
    diag = SQLGetDiagRecW(handleType, handle, number, sqlState, &native, message.data(),
                          static_cast<SQLSMALLINT>(message.size()), &length);
  }
  if (!SQL_SUCCEEDED(diag)) return false;
  const qsizetype units = qMin<qsizetype>(length, static_cast<qsizetype>(message.size()) - 1);
  out.Text = TrimMessageEnd(FromSqlWChar(message.data(), qMax<qsizetype>(units, 0)));
  out.State = FromSqlWChar(sqlState, 5);
  return true;
}

}  // namespace

EOleException OdbcError(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle) {
  DiagRecord chosen;
  if (handle != SQL_NULL_HANDLE && rc != SQL_INVALID_HANDLE) {
    // A warning (class 01) may come before the error that explains the failure: the first
    // record outside class 01 is the cause, the first record otherwise.
    DiagRecord record;
    for (SQLSMALLINT number = 1; number <= 64 && ReadDiagRecord(handleType, handle, number, record);
         ++number) {
      if (number == 1) chosen = record;
      if (!record.State.startsWith(QLatin1String("01"))) {
        chosen = record;
        break;
      }
    }
  }
  QString text = chosen.Text;
  if (text.isEmpty()) text = OleErrorText(kProviderErrorCode);
  return EOleException(text, kProviderErrorCode, QStringLiteral("ODBC"), chosen.State);
}

SQLRETURN OdbcCheck(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle) {
  if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return rc;
  throw OdbcError(rc, handleType, handle);
}

EOleException ProviderError(const QString& message) {
  return EOleException(TrimMessageEnd(message), kProviderErrorCode, QStringLiteral("Rowmill"));
}

}  // namespace ado
