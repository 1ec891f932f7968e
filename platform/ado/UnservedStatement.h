#pragma once

#include "platform/ado/DriverProfile.h"

#include <QString>

namespace ado {

// Statements that a driver cannot serve through ODBC and that would keep it busy for ever,
// measured per driver:
// - psqlODBC spins in SQLExecDirect on COPY ... TO STDOUT and COPY ... FROM STDIN, whose data
//   would travel outside the result protocol that ODBC reads;
// - MariaDB Connector/ODBC reads the file of LOAD DATA LOCAL INFILE itself, and waits for ever
//   on a FIFO without a writer or on a device that never ends (/dev/zero).
// Returns the message that refuses the statement (it names what to use instead), or an empty
// text when the driver can take it. Quoted text and comments are not read as words.
QString UnservedStatementRefusal(DriverFamily family, const QString& commandText);

}  // namespace ado
