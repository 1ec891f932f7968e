#pragma once

#include "base/Exceptions.h"

#include <sql.h>

namespace ado {

// The code carried by errors of the layer and its drivers (the generic provider failure).
constexpr qint32 kProviderErrorCode = static_cast<qint32>(0x80004005u);

// The exception for a failed ODBC call: the first diagnostic record's text, trimmed, or
// "OLE error %.8x" when the driver gave none.
EOleException OdbcError(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle);

// Every ODBC call of the layer goes through this: success, success with information and
// "no data" are returned to the caller, anything else is thrown as OdbcError.
SQLRETURN OdbcCheck(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle);

// An error of the layer itself, in the same form as a driver's.
EOleException ProviderError(const QString& message);

}  // namespace ado
