#include "tests/support/TestDatabases.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace testdb {

static QTemporaryDir& Folder() {
  static QTemporaryDir dir;
  return dir;
}

QString SqlitePath(const QString& fileName) { return Folder().filePath(fileName); }

QString SqliteConnectionString(const QString& fileName) {
  return QStringLiteral("DRIVER=SQLite3;Database=%1").arg(SqlitePath(fileName));
}

QString PostgresConnectionString() { return qEnvironmentVariable("ROWMILL_TEST_PG"); }

QString MariaDbConnectionString() { return qEnvironmentVariable("ROWMILL_TEST_MARIADB"); }

bool ServersRequired() { return qEnvironmentVariable("ROWMILL_REQUIRE_SERVERS") == "1"; }

}  // namespace testdb
