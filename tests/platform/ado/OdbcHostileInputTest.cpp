#include "tests/platform/ado/AdoTestSupport.h"
#include "tests/support/SilentServer.h"
#include "tests/support/TestDatabases.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <vector>

// What the driver manager or a driver would cut short, crash on or wait for ever for, tried on
// the real drivers, where those faults live: the layer refuses it with a clear error first.

using namespace ado;
using adotest::Exec;
using adotest::OleMessageOf;

namespace {

struct Database {
  const char* Name;
  QString ConnectionString;
  const char* CreateTable;
};

// The databases at hand; a missing server fails the test when servers are required.
std::vector<Database> Databases() {
  std::vector<Database> all = {
      {"SQLite", testdb::SqliteConnectionString(QStringLiteral("hostile.db")),
       "CREATE TABLE t(id INTEGER)"},
      {"PostgreSQL", testdb::PostgresConnectionString(), "CREATE TEMP TABLE t(id INTEGER)"},
      {"MariaDB", testdb::MariaDbConnectionString(), "CREATE TEMPORARY TABLE t(id INTEGER)"}};
  std::vector<Database> present;
  for (const Database& database : all) {
    if (!database.ConnectionString.isEmpty())
      present.push_back(database);
    else if (testdb::ServersRequired())
      ADD_FAILURE() << database.Name << " server not available";
  }
  return present;
}

QString Padded(const QString& start, qsizetype length, const QString& end = {}) {
  return start + QString(length - start.size() - end.size(), u'x') + end;
}

}  // namespace

TEST(OdbcHostileInput, AStatementHoldingANulIsNotSent) {
  for (const Database& database : Databases()) {
    SCOPED_TRACE(database.Name);
    auto connection = adotest::OpenConnection(database.ConnectionString);
    Exec(*connection, QString::fromLatin1(database.CreateTable));
    Exec(*connection, QStringLiteral("INSERT INTO t VALUES (1)"));
    Exec(*connection, QStringLiteral("INSERT INTO t VALUES (2)"));
    // The drivers read up to the NUL: "DELETE FROM t" would empty the table.
    const QString statement =
        QStringLiteral("DELETE FROM t") + QChar(u'\0') + QStringLiteral(" WHERE id = 1");
    EXPECT_TRUE(OleMessageOf([&] {
                  Exec(*connection, statement);
                }).contains(QStringLiteral("holds a NUL character")));
    EXPECT_TRUE(OleMessageOf([&] {
                  connection->DescribeParameters(statement);
                }).contains(QStringLiteral("holds a NUL character")));
    EXPECT_EQ(Exec(*connection, QStringLiteral("SELECT id FROM t"))->RecordCount(), 2);
  }
}

TEST(OdbcHostileInput, ConnectionStringsBeyondTheMeasuredLimitsAreRefused) {
  const QString postgres = testdb::PostgresConnectionString();
  QTemporaryDir folder;
  const QString udl = folder.filePath(QStringLiteral("long.udl"));
  {
    QFile file(udl);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Padded(postgres + QStringLiteral(";Foo="), 40000).toUtf8());
  }
  struct Case {
    QString Text;
    QString Refusal;  // part of the layer's message; empty: the string reaches the driver
  };
  std::vector<Case> cases = {
      {QStringLiteral("DRIVER=SQLite3;Database=/tmp/a") + QChar(u'\0') + QStringLiteral(".db"),
       QStringLiteral("The connection string holds a NUL character")},
      // The driver manager aborts the process from 1001 characters on, braces or not, and
      // counts the blanks of an unbraced value.
      {Padded(QStringLiteral("DRIVER={"), 1010, QStringLiteral("}")),
       QStringLiteral("names a driver of 1001 characters")},
      {Padded(QStringLiteral("DRIVER=   {"), 1012, QStringLiteral("}  ")),
       QStringLiteral("names a driver of 1005 characters")},
      {Padded(QStringLiteral("DRIVER="), 1007), QString()},
  };
  if (!postgres.isEmpty()) {
    // psqlODBC crashes on 32768 to 65535 characters.
    cases.push_back({Padded(postgres + QStringLiteral(";Foo="), 32767), QString()});
    cases.push_back({Padded(postgres + QStringLiteral(";Foo="), 32768),
                     QStringLiteral("The connection string is 32768 characters long")});
    cases.push_back({QStringLiteral("FILE NAME=") + udl,
                     QStringLiteral("The connection string in the data link file \"%1\" is 40000 "
                                    "characters long")
                         .arg(udl)});
  } else if (testdb::ServersRequired()) {
    ADD_FAILURE() << "PostgreSQL server not available";
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text.left(60).toStdString());
    OdbcConnection connection;
    const QString message = OleMessageOf([&] { connection.Open(c.Text); });
    if (c.Refusal.isEmpty())
      EXPECT_FALSE(message.contains(QStringLiteral("characters"))) << message;
    else
      EXPECT_TRUE(message.startsWith(c.Refusal) || message.contains(c.Refusal)) << message;
  }
}

TEST(OdbcHostileInput, ConnectingToAServerThatNeverAnswersGivesUp) {
  SilentServer silent;
  ASSERT_NE(silent.Port(), 0);
  const QString place =
      QStringLiteral("Server=127.0.0.1;Port=%1;Database=x;Uid=u;Pwd=p;").arg(silent.Port());
  struct Case {
    QString Text;
    int LayerSeconds;
    int ExpectedSeconds;
    bool Ours;
  };
  const Case cases[] = {
      // psqlODBC honours the login time-out attribute; MariaDB's driver gets CONN_TIMEOUT.
      {QStringLiteral("DRIVER={PostgreSQL Unicode};") + place, 2, 2, true},
      {QStringLiteral("DRIVER={MariaDB Unicode};") + place, 2, 2, true},
      // A time-out of the string's own wins (psqlODBC refuses both at once).
      {QStringLiteral("DRIVER={PostgreSQL Unicode};") + place + "pqopt={connect_timeout=1}", 60, 1,
       false},
      {QStringLiteral("DRIVER={MariaDB Unicode};") + place + "CONN_TIMEOUT=1", 60, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text.toStdString());
    OdbcConnection connection(c.LayerSeconds);
    QElapsedTimer waited;
    waited.start();
    const QString message = OleMessageOf([&] { connection.Open(c.Text); });
    EXPECT_GE(waited.elapsed(), c.ExpectedSeconds * 1000 - 200);
    EXPECT_LT(waited.elapsed(), c.ExpectedSeconds * 1000 + 3000);
    EXPECT_EQ(message.startsWith(QStringLiteral("Connecting gave up after %1 seconds without an "
                                                "answer from the server: ")
                                     .arg(c.ExpectedSeconds)),
              c.Ours)
        << message;
    EXPECT_FALSE(connection.IsOpen());
  }
}

TEST(OdbcHostileInput, StatementsTheDriverNeverComesBackFromAreRefused) {
  QTemporaryDir folder;
  const QString fifo = folder.filePath(QStringLiteral("rows.fifo"));
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  struct Case {
    QString ConnectionString;
    QString Statement;
    QString Refusal;  // the start of the message; empty: the statement runs
  };
  const QString postgres = testdb::PostgresConnectionString();
  const QString mariadb = testdb::MariaDbConnectionString();
  const QString load = QStringLiteral("LOAD DATA LOCAL INFILE '%1' INTO TABLE c");
  const Case cases[] = {
      {postgres, "COPY c TO STDOUT", "COPY ... TO STDOUT was not sent"},
      {postgres, "copy (SELECT id FROM c) to stdout with (format csv)",
       "COPY ... TO STDOUT was not sent"},
      {postgres, "/* first */ COPY c FROM stdin", "COPY ... FROM STDIN was not sent"},
      {postgres, "SELECT 1; COPY c TO STDOUT", "COPY ... TO STDOUT was not sent"},
      {postgres, "SELECT 'COPY c TO STDOUT' AS s -- ; COPY c TO STDOUT", {}},
      {postgres, "SELECT $q$; COPY c FROM STDIN $q$ AS s", {}},
      // The driver reads the file itself: a FIFO nobody writes, or a device without end.
      {mariadb, load.arg(fifo), "LOAD DATA LOCAL INFILE was not sent: \"" + fifo + "\""},
      {mariadb, "load data low_priority local infile \"/dev/zero\" into table c",
       "LOAD DATA LOCAL INFILE was not sent: \"/dev/zero\""},
      {mariadb, load.arg("/etc/hostname") + " (@line) SET id = 7", {}},
  };
  for (const QString& server : {postgres, mariadb}) {
    if (server.isEmpty()) {
      if (testdb::ServersRequired()) ADD_FAILURE() << "database server not available";
      continue;
    }
    auto connection = adotest::OpenConnection(server);
    Exec(*connection, server == postgres ? QStringLiteral("CREATE TEMP TABLE c(id INTEGER)")
                                         : QStringLiteral("CREATE TEMPORARY TABLE c(id INTEGER)"));
    for (const Case& c : cases) {
      if (c.ConnectionString != server) continue;
      SCOPED_TRACE(c.Statement.toStdString());
      QElapsedTimer took;
      took.start();
      const QString message = OleMessageOf([&] { Exec(*connection, c.Statement); });
      if (!c.Refusal.isEmpty()) {
        EXPECT_TRUE(message.startsWith(c.Refusal)) << message;
        EXPECT_EQ(OleMessageOf([&] { connection->DescribeParameters(c.Statement); }), message);
      } else {
        EXPECT_EQ(message, "<no EOleException>");
      }
      EXPECT_LT(took.elapsed(), 5000);
    }
  }
}
