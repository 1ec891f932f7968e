#include "platform/ado/OdbcCheck.h"

#include "base/Messages.h"
#include "platform/ado/OdbcText.h"

#include <sqlext.h>

#include <vector>

namespace ado {

EOleException OdbcError(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle) {
  QString text;
  QString state;
  if (handle != SQL_NULL_HANDLE && rc != SQL_INVALID_HANDLE) {
    // Only record 1: later records are not reliable on unixODBC with these drivers.
    SQLWCHAR sqlState[6] = {};
    SQLINTEGER native = 0;
    std::vector<SQLWCHAR> message(1024);
    SQLSMALLINT length = 0;
    SQLRETURN diag = SQLGetDiagRecW(handleType, handle, 1, sqlState, &native, message.data(),
                                    static_cast<SQLSMALLINT>(message.size()), &length);
    if (diag == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
      message.resize(static_cast<size_t>(length) + 1);
      diag = SQLGetDiagRecW(handleType, handle, 1, sqlState, &native, message.data(),
                            static_cast<SQLSMALLINT>(message.size()), &length);
    }
    if (SQL_SUCCEEDED(diag)) {
      const qsizetype units = qMin<qsizetype>(length, static_cast<qsizetype>(message.size()) - 1);
      text = TrimMessageEnd(FromSqlWChar(message.data(), units));
      state = FromSqlWChar(sqlState, 5);
    }
  }
  if (text.isEmpty()) text = OleErrorText(kProviderErrorCode);
  return EOleException(text, kProviderErrorCode, QStringLiteral("ODBC"), state);
}

SQLRETURN OdbcCheck(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle) {
  if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return rc;
  throw OdbcError(rc, handleType, handle);
}

EOleException ProviderError(const QString& message) {
  return EOleException(TrimMessageEnd(message), kProviderErrorCode, QStringLiteral("Rowmill"));
}

}  // namespace ado
