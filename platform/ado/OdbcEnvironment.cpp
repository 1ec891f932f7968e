#include "platform/ado/OdbcEnvironment.h"

#include "platform/ado/OdbcCheck.h"
#include "platform/ado/OdbcHandle.h"

#include <sqlext.h>

namespace ado {

static OdbcHandle MakeEnvironment() {
  OdbcHandle env = OdbcHandle::Allocate(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
  OdbcCheck(SQLSetEnvAttr(env.Get(), SQL_ATTR_ODBC_VERSION,
                          reinterpret_cast<SQLPOINTER>(static_cast<SQLLEN>(SQL_OV_ODBC3)), 0),
            SQL_HANDLE_ENV, env.Get());
  return env;
}

SQLHENV OdbcEnvironment() {
  // Never freed: a login that a stop left behind may still be using it while the program ends.
  static const SQLHENV env = MakeEnvironment().Release();
  return env;
}

}  // namespace ado
