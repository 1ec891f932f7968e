#include "tests/support/TestDatabases.h"

#include "base/Exceptions.h"
#include "platform/ado/OdbcConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>

namespace testdb {

static QTemporaryDir& Folder() {
  static QTemporaryDir dir;
  return dir;
}

QString SqlitePath(const QString& fileName) {
  return Folder().filePath(fileName);
}

QString SqliteConnectionString(const QString& fileName) {
  return QStringLiteral("DRIVER=SQLite3;Database=%1").arg(SqlitePath(fileName));
}

QString PostgresConnectionString() {
  return qEnvironmentVariable("ROWMILL_TEST_PG");
}

QString MariaDbConnectionString() {
  return qEnvironmentVariable("ROWMILL_TEST_MARIADB");
}

bool ServersRequired() {
  return qEnvironmentVariable("ROWMILL_REQUIRE_SERVERS") == "1";
}

QString UniqueName(const QString& base) {
  static std::atomic<int> count = 0;
  return QStringLiteral("%1_%2_%3").arg(base).arg(QCoreApplication::applicationPid()).arg(++count);
}

ScopedTables::~ScopedTables() {
  if (FNames.isEmpty()) return;
  try {
    ado::OdbcConnection connection;
    connection.Open(FConnectionString);
    for (const QString& name : FNames)
      connection.Execute(QStringLiteral("DROP TABLE IF EXISTS ") + name, {});
  } catch (const EOleException&) {
    // The names are unique: a table left behind is in nobody's way.
  }
}

QString ScopedTables::Name(const QString& base) {
  FNames << UniqueName(base);
  return FNames.last();
}

}  // namespace testdb
