#include "base/Exceptions.h"
#include "data/TADOConnection.h"
#include "data/TADODataSet.h"
#include "data/TField.h"
#include "platform/ado/OdbcConnection.h"
#include "platform/ado/SpillFile.h"
#include "tests/support/ScopedBudget.h"
#include "tests/support/ScopedValue.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/UnnamedFiles.h"

#include <QThread>

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <memory>
#include <optional>

namespace {

// What the real connections made for the data access components did.
struct ConnectionLog {
  int Made = 0;
  int Opens = 0;
  int OpenNow = 0;
};

// The ODBC connection, counted.
class CountingConnection : public ado::Connection {
 public:
  explicit CountingConnection(ConnectionLog& log) : FLog(log) { ++FLog.Made; }
  ~CountingConnection() override {
    if (FInner.IsOpen()) --FLog.OpenNow;
  }
  using ado::Connection::Open;
  void Open(const QString& cs, const ado::Purpose& purpose) override {
    ++FLog.Opens;
    FInner.Open(cs, purpose);
    ++FLog.OpenNow;
  }
  void Close() override {
    if (FInner.IsOpen()) --FLog.OpenNow;
    FInner.Close();
  }
  bool IsOpen() const override { return FInner.IsOpen(); }
  bool InTransaction() const override { return FInner.InTransaction(); }
  std::vector<ado::ParameterInfo> DescribeParameters(const QString& text) override {
    return FInner.DescribeParameters(text);
  }
  std::unique_ptr<ado::Recordset> Execute(const QString& text,
                                          const std::vector<ado::ParameterInfo>& p) override {
    return FInner.Execute(text, p);
  }

 private:
  ConnectionLog& FLog;
  ado::OdbcConnection FInner;
};

void RunSql(const QString& connectionString, const QString& sql) {
  ado::OdbcConnection c;
  c.Open(connectionString);
  c.Execute(sql, {});
  c.Close();
}

// Each database gets the same table and the same checks.
class DataSetOnDatabase : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    const QString which = GetParam();
    if (which == "sqlite") {
      static int n = 0;
      FConnectionString = testdb::SqliteConnectionString(QStringLiteral("ds%1.db").arg(++n));
    } else if (which == "postgres") {
      FConnectionString = testdb::PostgresConnectionString();
    } else {
      FConnectionString = testdb::MariaDbConnectionString();
    }
    REQUIRE_SERVER(FConnectionString);
    FTables.emplace(FConnectionString);
    FItems = FTables->Name("rm_items");
    RunSql(FConnectionString,
           Items("CREATE TABLE %1(id INTEGER, name VARCHAR(20), price DOUBLE PRECISION)"));
    RunSql(FConnectionString,
           Items("INSERT INTO %1 VALUES (1, 'one', 1.5), (2, 'two', 0.00001), (3, NULL, -2.5)"));
    FFactory.emplace(
        ScopedSet(&ado::SetConnectionFactory, [this]() -> std::unique_ptr<ado::Connection> {
          return std::make_unique<CountingConnection>(FLog);
        }));
    FConnection = std::make_unique<TADOConnection>();
    FConnection->SetKeepConnection(false);
    FConnection->SetLoginPrompt(false);
    FConnection->SetConnectionString(FConnectionString);
    FDataSet = std::make_unique<TADODataSet>();
    FDataSet->setObjectName("ADODataSet");
    FDataSet->SetConnection(FConnection.get());
  }
  void TearDown() override {
    FDataSet.reset();
    FConnection.reset();
    FFactory.reset();
  }

  // The statement with "%1" replaced by the name of the test's table.
  QString Items(const char* statement) const { return QString::fromLatin1(statement).arg(FItems); }

  QString FConnectionString;
  std::optional<testdb::ScopedTables> FTables;
  QString FItems;
  ConnectionLog FLog;
  std::optional<ScopedRestore> FFactory;
  std::unique_ptr<TADOConnection> FConnection;
  std::unique_ptr<TADODataSet> FDataSet;
};

}  // namespace

TEST_P(DataSetOnDatabase, ConnectionIsHeldOnlyWhileProbingAndWhileAResultIsOpen) {
  FDataSet->SetCommandText(Items("SELECT id, name, price FROM %1 ORDER BY id"));
  EXPECT_EQ(FLog.Opens, 1);  // the probe
  EXPECT_EQ(FLog.OpenNow, 0);
  FDataSet->Open();
  EXPECT_EQ(FLog.Opens, 2);
  EXPECT_TRUE(FConnection->Connected());
  EXPECT_EQ(FDataSet->RecordCount(), 3);
  QStringList rows;
  for (FDataSet->First(); !FDataSet->Eof(); FDataSet->Next())
    rows << FDataSet->Fields(0)->AsString() + "|" + FDataSet->Fields(1)->AsString() + "|" +
                FDataSet->Fields(2)->AsString();
  EXPECT_EQ(rows, QStringList({"1|one|1.5", "2|two|1E-5", "3||-2.5"}));
  FDataSet->Close();
  EXPECT_FALSE(FConnection->Connected());
  EXPECT_EQ(FLog.OpenNow, 0);
}

TEST_P(DataSetOnDatabase, SameTextTwiceOpensNoSecondProbe) {
  FDataSet->SetCommandText("SELECT 1");
  FDataSet->SetCommandText("SELECT 1");
  EXPECT_EQ(FLog.Opens, 1);
}

TEST_P(DataSetOnDatabase, FailedOpenLeavesDataSetAndConnectionClosed) {
  FDataSet->SetCommandText("SELEC nonsense FROM nowhere");
  EXPECT_THROW(FDataSet->Open(), EOleException);
  EXPECT_FALSE(FDataSet->Active());
  EXPECT_FALSE(FConnection->Connected());
  EXPECT_EQ(FLog.OpenNow, 0);
  FDataSet->SetCommandText(Items("SELECT name FROM %1 WHERE id = 2"));
  const int before = FLog.Opens;
  FDataSet->Open();
  EXPECT_EQ(FLog.Opens, before + 1);
  EXPECT_EQ(FDataSet->Fields(0)->AsString(), "two");
}

TEST_P(DataSetOnDatabase, DataChangeIsDoneAndReportedAsNoResult) {
  FDataSet->SetCommandText(Items("UPDATE %1 SET name = 'uno' WHERE id = 1"));
  try {
    FDataSet->Open();
    FAIL() << "opened";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "ADODataSet: CommandText does not return a result set");
  }
  EXPECT_FALSE(FConnection->Connected());
  FDataSet->SetCommandText(Items("SELECT name FROM %1 WHERE id = 1"));
  FDataSet->Open();
  EXPECT_EQ(FDataSet->Fields(0)->AsString(), "uno");
}

TEST_P(DataSetOnDatabase, MissingConnectionIsReportedFirst) {
  FConnection->SetConnectionString("DRIVER={No Such Driver};Server=nowhere");
  FDataSet->SetCommandText("SELECT 1");  // the failed probe is silent
  EXPECT_THROW(FDataSet->Open(), EOleException);
  EXPECT_FALSE(FDataSet->Active());
  EXPECT_EQ(FDataSet->ReasonCount(), 0);
}

// A result beyond the memory budget keeps its values in a file without a name, which goes with
// Close; the values read back whole.
TEST_P(DataSetOnDatabase, ResultPastTheBudgetPagesToAFileThatGoesWithClose) {
  const QString which = GetParam();
  const QString rows =
      which == "sqlite"     ? "WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s "
                              "WHERE i < 600000) SELECT i, 'row ' || i FROM s"
      : which == "postgres" ? "SELECT i, 'row ' || i FROM generate_series(1, 600000) AS s(i)"
                            : "SELECT seq, CONCAT('row ', seq) FROM seq_1_to_600000";
  const int before = UnnamedFiles();
  {
    const ScopedRestore budget = ScopedBudget(256 * 1024);
    FDataSet->SetCommandText(rows);
    FDataSet->Open();
  }
  EXPECT_GT(UnnamedFiles(), before);
  ASSERT_EQ(FDataSet->RecordCount(), 600000);
  for (const qint64 r : {qint64(0), qint64(345678), qint64(599999)})
    EXPECT_EQ(FDataSet->Fields(1)->AsStringAt(r), QStringLiteral("row %1").arg(r + 1));
  FDataSet->Last();
  EXPECT_EQ(FDataSet->Fields(0)->AsString(), "600000");
  FDataSet->Close();
  EXPECT_EQ(UnnamedFiles(), before);
}

INSTANTIATE_TEST_SUITE_P(Databases, DataSetOnDatabase,
                         ::testing::Values("sqlite", "postgres", "mariadb"),
                         [](const auto& info) { return std::string(info.param); });

TEST(DataSetOnPostgres, BatchShowsTheRowsOfItsSecondStatement) {
  const QString cs = testdb::PostgresConnectionString();
  REQUIRE_SERVER(cs);
  testdb::ScopedTables tables(cs);
  const QString batch = tables.Name("rm_batch");
  RunSql(cs, QStringLiteral("CREATE TABLE %1(n INTEGER)").arg(batch));
  TADOConnection connection;
  connection.SetKeepConnection(false);
  connection.SetConnectionString(cs);
  TADODataSet dataSet;
  dataSet.SetConnection(&connection);
  dataSet.SetCommandText(
      QStringLiteral("INSERT INTO %1 VALUES (7), (8); SELECT n * 2 AS d FROM %1 ORDER BY n")
          .arg(batch));
  dataSet.Open();
  ASSERT_EQ(dataSet.RecordCount(), 2);
  EXPECT_EQ(dataSet.Fields(0)->FieldName(), "d");
  EXPECT_EQ(dataSet.Fields(0)->AsString(), "14");
  dataSet.Next();
  EXPECT_EQ(dataSet.Fields(0)->AsString(), "16");
}

TEST(DataSetOnServers, ColonsOfOrdinarySqlAreNoParameterMarkers) {
  struct Case {
    QString ConnectionString;
    QString Statement;
    QStringList Values;
  };
  const Case cases[] = {
      {testdb::PostgresConnectionString(),
       "SELECT (ARRAY[10,20,30])[2:3]::text AS s, $$a:b$$ AS d, E'it\\'s :x' AS e, "
       "$f$ :y $f$ AS f -- :z",
       {"{20,30}", "a:b", "it's :x", " :y "}},
      {testdb::MariaDbConnectionString(), "SELECT @a := 5 AS v, @a:=6 AS w /* :x */", {"5", "6"}},
  };
  for (const Case& c : cases) {
    if (c.ConnectionString.isEmpty()) {
      if (testdb::ServersRequired()) ADD_FAILURE() << "database server not available";
      continue;
    }
    SCOPED_TRACE(c.Statement.toStdString());
    TADOConnection connection;
    connection.SetKeepConnection(false);
    connection.SetConnectionString(c.ConnectionString);
    TADODataSet dataSet;
    dataSet.SetConnection(&connection);
    dataSet.SetCommandText(c.Statement);
    dataSet.Open();
    QStringList values;
    for (int i = 0; i < dataSet.FieldCount(); ++i) values << dataSet.Fields(i)->AsString();
    EXPECT_EQ(values, c.Values);
  }
}

// Another program holds the SQLite database locked: the probe and the execution together wait
// once, a few seconds or the string's own Timeout=, and say why; once the lock goes, the same
// statement runs.
TEST(DataSetOnSqlite, ADatabaseLockedByAnotherProgramIsWaitedForOnce) {
  const QString path = testdb::SqlitePath(QStringLiteral("locked.db"));
  QFile::remove(path);
  QProcess holder;
  holder.start("sqlite3", {path});
  ASSERT_TRUE(holder.waitForStarted());
  holder.write("CREATE TABLE t(a); INSERT INTO t VALUES (1); BEGIN EXCLUSIVE; SELECT 'held';\n");
  while (!holder.readAllStandardOutput().contains("held")) ASSERT_TRUE(holder.waitForReadyRead());
  struct Case {
    QString Extra;
    qint64 AtMostMs;
  };
  const Case cases[] = {{"", 9000}, {";Timeout=1000", 2500}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Extra.toStdString());
    TADOConnection connection;
    connection.SetKeepConnection(false);
    connection.SetConnectionString(testdb::SqliteConnectionString("locked.db") + c.Extra);
    TADODataSet dataSet;
    dataSet.SetConnection(&connection);
    QElapsedTimer took;
    took.start();
    dataSet.SetCommandText(QStringLiteral("SELECT a FROM t WHERE a > :lowest"));
    try {
      dataSet.Open();
      ADD_FAILURE() << "opened";
    } catch (const EOleException& e) {
      EXPECT_TRUE(e.Message().startsWith("The database is locked by another program"))
          << e.Message().toStdString();
    }
    EXPECT_LT(took.elapsed(), c.AtMostMs);
    EXPECT_FALSE(connection.Connected());
  }
  holder.write("COMMIT;\n.quit\n");
  holder.closeWriteChannel();
  ASSERT_TRUE(holder.waitForFinished());
  TADOConnection connection;
  connection.SetKeepConnection(false);
  connection.SetConnectionString(testdb::SqliteConnectionString("locked.db"));
  TADODataSet dataSet;
  dataSet.SetConnection(&connection);
  dataSet.SetCommandText(QStringLiteral("SELECT a FROM t"));
  dataSet.Open();
  EXPECT_EQ(dataSet.Fields(0)->AsString(), "1");
}

// The server's own count: the sessions of this test's application name while a statement runs,
// and after its result is closed. One login per execution, whatever road its rows take.
TEST(DataSetOnPostgres, OneServerSessionPerExecutionAndNoneAfterTheResultCloses) {
  const QString server = testdb::PostgresConnectionString();
  REQUIRE_SERVER(server);
  const QString name = testdb::UniqueName(QStringLiteral("rowmill_logins"));
  const QString sessions =
      QStringLiteral("SELECT count(*) AS n FROM pg_stat_activity WHERE application_name = '%1'")
          .arg(name);
  const QString cs = server + QStringLiteral(";pqopt={application_name=%1}").arg(name);
  TADOConnection connection;
  connection.SetKeepConnection(false);
  connection.SetConnectionString(cs);
  TADODataSet dataSet;
  dataSet.SetConnection(&connection);
  // A query that streams, one that may not (a marker), and one the driver cannot wrap.
  for (const QString& sql : {sessions, sessions + QStringLiteral(" AND (:p)::text IS NULL"),
                             sessions + QStringLiteral(" -- a comment")}) {
    SCOPED_TRACE(sql.toStdString());
    dataSet.SetCommandText(sql);
    // A backend leaves pg_stat_activity a moment after its client disconnects (the probe's, or
    // the one given up for the plain road): only a second session that stays is a second login.
    QString seen;
    for (int attempt = 0; attempt < 50 && seen != "1"; ++attempt) {
      if (attempt > 0) QThread::msleep(20);
      dataSet.Open();
      seen = dataSet.Fields(0)->AsString();
      dataSet.Close();
    }
    EXPECT_EQ(seen, "1");
    ado::OdbcConnection observer;
    observer.Open(server);
    qint64 left = -1;
    for (int attempt = 0; attempt < 100 && left != 0; ++attempt) {
      // A backend leaves pg_stat_activity a moment after its client disconnects.
      if (attempt > 0) QThread::msleep(20);
      left = observer.Execute(sessions, {})->GetValue(0, 0).Int;
    }
    EXPECT_EQ(left, 0);
  }
}
