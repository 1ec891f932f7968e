#pragma once

#include <QString>
#include <QStringList>

#include <utility>

// Connection strings of the databases the integration tests use. The test script starts the
// servers and exports ROWMILL_TEST_PG and ROWMILL_TEST_MARIADB; without them those tests are
// skipped, unless ROWMILL_REQUIRE_SERVERS=1 makes their absence a failure.
namespace testdb {

// A new SQLite database file in a temporary folder that lives as long as the process.
QString SqliteConnectionString(const QString& fileName = QStringLiteral("test.db"));
QString SqlitePath(const QString& fileName = QStringLiteral("test.db"));
QString PostgresConnectionString();  // empty when no server was started
QString MariaDbConnectionString();   // empty when no server was started
bool ServersRequired();
// A name for a table (or anything else a server keeps) that no other test uses, in this process
// or in another one running at the same time against the same server: the base name, the
// process id and a count. Tests drop what they make, but a crash leaves only a stray table.
QString UniqueName(const QString& base);

// Tables of a test's own in one database, under unique names, dropped when the test ends however
// it ends.
class ScopedTables {
 public:
  explicit ScopedTables(QString connectionString)
      : FConnectionString(std::move(connectionString)) {}
  ~ScopedTables();
  ScopedTables(const ScopedTables&) = delete;
  ScopedTables& operator=(const ScopedTables&) = delete;

  // A new table name made from the base.
  QString Name(const QString& base);

 private:
  QString FConnectionString;
  QStringList FNames;
};

}  // namespace testdb

// Skips the test when the server's connection string is empty, or fails it when servers are
// required.
#define REQUIRE_SERVER(conn)                                                    \
  do {                                                                          \
    if ((conn).isEmpty()) {                                                     \
      if (testdb::ServersRequired()) FAIL() << "database server not available"; \
      GTEST_SKIP() << "database server not available";                          \
    }                                                                           \
  } while (0)
