#pragma once

#include "platform/ado/OdbcHandle.h"
#include "platform/ado/StatementControl.h"

#include <sql.h>

#include <vector>

namespace ado {

// SQLDriverConnectW with SQL_DRIVER_NOPROMPT on the connection handle, which a stop asked of
// control ends at once (null: not stoppable). The driver's login cannot be interrupted: a server
// that accepts the connection and never answers holds it for the whole login time-out. So it
// runs on a thread of its own, and a stop leaves it there: it ends on its own, and a connection
// it makes after all is closed again, so no session stays behind.
//
// Returns the driver's result; the handle comes back with it (diagnostics included). A stop
// throws EAbort, and the handle stays with the login, which frees it.
SQLRETURN StoppableConnect(OdbcHandle& connection, std::vector<SQLWCHAR> text,
                           StatementControl* control);

}  // namespace ado
