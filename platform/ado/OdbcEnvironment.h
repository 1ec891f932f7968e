#pragma once

#include <sql.h>

namespace ado {

// The process's one ODBC environment (ODBC 3 behaviour), made on first use.
SQLHENV OdbcEnvironment();

}  // namespace ado
