#pragma once

#include <QString>

// Connection strings of the databases the integration tests use. The test script starts the
// servers and exports ROWMILL_TEST_PG and ROWMILL_TEST_MARIADB; without them those tests are
// skipped, unless ROWMILL_REQUIRE_SERVERS=1 makes their absence a failure.
namespace testdb {

// A new SQLite database file in a temporary folder that lives as long as the process.
QString SqliteConnectionString(const QString& fileName = QStringLiteral("test.db"));
QString SqlitePath(const QString& fileName = QStringLiteral("test.db"));
QString PostgresConnectionString();   // empty when no server was started
QString MariaDbConnectionString();    // empty when no server was started
bool ServersRequired();

}  // namespace testdb

// Skips the test when the server's connection string is empty, or fails it when servers are required.
#define REQUIRE_SERVER(conn)                                                       \
  do {                                                                             \
    if ((conn).isEmpty()) {                                                        \
      if (testdb::ServersRequired()) FAIL() << "database server not available";    \
      GTEST_SKIP() << "database server not available";                             \
    }                                                                              \
  } while (0)
