#pragma once

#include <QString>

namespace ado {

// MariaDB Connector/ODBC decides from a statement's first word whether it yields rows, and takes
// "SET STATEMENT var=value[, ...] FOR <statement>" for a SET: the rows of a query after FOR
// never reach the application. The text sent instead holds the prefix in an executable comment
// ("/*!SET STATEMENT ... FOR*/ <statement>"), which the server runs as written and the
// connector skips, so the statement's own first word counts. Any other text, or a prefix that
// holds a comment or cannot be read unambiguously, is returned unchanged.
QString WithSetStatementHidden(const QString& statement);

}  // namespace ado
