#include "platform/ado/ResultFetcher.h"
#include "tests/platform/ado/AdoTestSupport.h"
#include "tests/support/ScopedValue.h"
#include "tests/support/TestDatabases.h"

#include <QRegularExpression>
#include <QStringList>

#include <optional>
#include <vector>

// What the database layer does the same on every driver, tried on each; what one driver alone
// does is in the test file of that database.

using namespace ado;
using adotest::Exec;
using adotest::ExpectedField;
using adotest::OleMessageOf;

namespace {

struct LayerDatabase {
  const char* Name;
  QString (*ConnectionString)();
  // A table of many column types ("%1" is its name) and what each column is described as;
  // nothing where MoreTypeChecks checks the column.
  const char* TypesTable;
  std::vector<std::optional<ExpectedField>> Types;
  void (*MoreTypeChecks)(const Recordset& rs);
  // Rows 1 to RowCount of (i, i * 0.5, 'n' || i, i unless a multiple of three); the statements
  // before the query make its table "%1", when it needs one.
  QStringList RowsSetup;
  const char* RowsQuery;
  qint64 RowCount;
  const char* NoSuchTableText;  // part of the error of a query of a missing table
  const char* RefusedText;      // part of the error of a connection to a closed port
};

void PrintTo(const LayerDatabase& database, std::ostream* out) {
  *out << database.Name;
}

QString NewSqliteDatabase() {
  static int n = 0;
  return testdb::SqliteConnectionString(QStringLiteral("layer%1.db").arg(++n));
}

const LayerDatabase kSqlite = {
    "sqlite",
    &NewSqliteDatabase,
    "CREATE TABLE %1(id INTEGER PRIMARY KEY AUTOINCREMENT, b BIGINT, s SMALLINT, ti TINYINT, "
    "f BIT, d DOUBLE, n NUMERIC(10,2), dec DECIMAL(30,5), dt DATE, tm TIME, ts TIMESTAMP, "
    "v VARCHAR(20), tx TEXT, bl BLOB)",
    {
        ExpectedField{adInteger, 4, 10, 255, true},
        ExpectedField{adBigInt, 8, 20, 255, true},
        ExpectedField{adSmallInt, 2, 6, 255, true},
        ExpectedField{adTinyInt, 1, 4, 255, true},
        ExpectedField{adBoolean, 2, 255, 255, true},
        ExpectedField{adDouble, 8, 54, 255, true},
        // The driver reports NUMERIC as a double and DECIMAL as text.
        ExpectedField{adDouble, 8, 10, 255, true},
        ExpectedField{adVarChar, 30, 255, 255, false},
        ExpectedField{adDBDate, 6, 10, 255, true},
        ExpectedField{adDBTime, 6, 8, 0, true},
        ExpectedField{adDBTimeStamp, 16, 32, 0, true},
        ExpectedField{adVarChar, 20, 255, 255, false},
        // Unbounded text is an ordinary string column; BLOB, though reported as bounded
        // binary, is a large object.
        ExpectedField{adVarChar, 255, 255, 255, false},
        ExpectedField{adLongVarBinary, 255, 255, 255, false},
    },
    [](const Recordset& rs) {
      EXPECT_EQ(rs.RecordCount(), 0);
      EXPECT_TRUE(rs.Field(12).Attributes & adFldLong);
      for (int i = 0; i < rs.FieldCount(); ++i)
        EXPECT_TRUE(rs.Field(i).Attributes & (adFldUpdatable | adFldUnknownUpdatable));
      EXPECT_EQ(rs.Field(7).Name, QStringLiteral("dec"));
    },
    {QStringLiteral("CREATE TABLE %1(id INTEGER, x DOUBLE, name VARCHAR(20), maybe INTEGER)"),
     QStringLiteral(
         "WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < 2500) "
         "INSERT INTO %1 SELECT i, i * 0.5, 'n' || i, "
         "CASE WHEN i % 3 = 0 THEN NULL ELSE i END FROM s")},
    "SELECT id, x, name, maybe FROM %1 ORDER BY id",
    2500,
    "no such table: nowhere",
    nullptr,
};

const LayerDatabase kPostgres = {
    "postgres",
    &testdb::PostgresConnectionString,
    "CREATE TEMP TABLE %1(id SERIAL, b BIGINT, s SMALLINT, f BOOLEAN, r REAL, "
    "d DOUBLE PRECISION, n NUMERIC(30,5), dt DATE, tm TIME, ts TIMESTAMP, c CHAR(5), "
    "v VARCHAR(20), tx TEXT, by BYTEA, u UUID, iv INTERVAL)",
    {
        ExpectedField{adInteger, 4, 10, 255, true},
        ExpectedField{adBigInt, 8, 19, 255, true},
        ExpectedField{adSmallInt, 2, 5, 255, true},
        // psqlODBC reports booleans as text unless BoolsAsChar=0.
        ExpectedField{adVarChar, 5, 255, 255, false},
        ExpectedField{adSingle, 4, 9, 255, true},
        ExpectedField{adDouble, 8, 17, 255, true},
        ExpectedField{adNumeric, 19, 30, 5, true},
        ExpectedField{adDBDate, 6, 10, 255, true},
        ExpectedField{adDBTime, 6, 8, 6, true},
        ExpectedField{adDBTimeStamp, 16, 26, 6, true},
        ExpectedField{adWChar, 5, 255, 255, true},
        ExpectedField{adVarWChar, 20, 255, 255, false},
        ExpectedField{adVarWChar, 255, 255, 255, false},
        ExpectedField{adLongVarBinary, 0, 255, 255, false},
        ExpectedField{adGUID, 16, 255, 255, true},
        std::nullopt,
    },
    [](const Recordset& rs) {
      // A type without a mapping is read as text.
      EXPECT_EQ(rs.Field(15).Type, adVarWChar);
      EXPECT_FALSE(rs.Field(0).Attributes & adFldIsNullable);
      EXPECT_TRUE(rs.Field(1).Attributes & adFldIsNullable);
    },
    {},
    "SELECT i, i * 0.5::float8, ('n' || i)::varchar(20), CASE WHEN i % 3 = 0 THEN NULL ELSE i END "
    "FROM generate_series(1, 50000) AS s(i) ORDER BY 1",
    50000,
    "relation \"nowhere\" does not exist",
    "Connection refused",
};

const LayerDatabase kMariaDb = {
    "mariadb",
    &testdb::MariaDbConnectionString,
    "CREATE TABLE %1(id INT AUTO_INCREMENT PRIMARY KEY, b BIGINT, ub BIGINT UNSIGNED, "
    "ui INT UNSIGNED, ut TINYINT UNSIGNED, us SMALLINT UNSIGNED, t TINYINT, bt BIT, fl FLOAT, "
    "d DOUBLE, n DECIMAL(30,5), dt DATE, tm TIME, ts DATETIME, c CHAR(5), v VARCHAR(20), "
    "tx TEXT, bl BLOB, vb VARBINARY(10), bn BINARY(4))",
    {
        ExpectedField{adInteger, 4, 10, 255, true},
        ExpectedField{adBigInt, 8, 20, 255, true},
        ExpectedField{adUnsignedBigInt, 8, 19, 255, true},
        ExpectedField{adUnsignedInt, 4, 10, 255, true},
        ExpectedField{adUnsignedTinyInt, 1, 3, 255, true},
        std::nullopt,
        ExpectedField{adTinyInt, 1, 3, 255, true},
        ExpectedField{adBoolean, 2, 255, 255, true},
        ExpectedField{adSingle, 4, 7, 255, true},
        ExpectedField{adDouble, 8, 15, 255, true},
        ExpectedField{adNumeric, 19, 30, 5, true},
        ExpectedField{adDBDate, 6, 10, 255, true},
        ExpectedField{adDBTime, 6, 8, 0, true},
        ExpectedField{adDBTimeStamp, 16, 19, 0, true},
        ExpectedField{adWChar, 5, 255, 255, true},
        ExpectedField{adVarWChar, 20, 255, 255, false},
        ExpectedField{adVarWChar, 255, 255, 255, false},
        ExpectedField{adLongVarBinary, 65535, 255, 255, false},
        ExpectedField{adVarBinary, 10, 255, 255, false},
        ExpectedField{adBinary, 4, 255, 255, true},
    },
    [](const Recordset& rs) {
      EXPECT_EQ(rs.Field(5).Type, adUnsignedSmallInt);
      EXPECT_TRUE(rs.Field(0).Attributes & adFldUnknownUpdatable);
    },
    {},
    "SELECT seq, seq * 0.5e0, CAST(CONCAT('n', seq) AS CHAR(20)), "
    "CASE WHEN seq % 3 = 0 THEN NULL ELSE CAST(seq AS SIGNED) END FROM seq_1_to_20000 ORDER BY seq",
    20000,
    "nowhere' doesn't exist",
    "Can't connect",
};

// One connection to the database of the parameter, and tables of the test's own.
class OdbcLayer : public ::testing::TestWithParam<LayerDatabase> {
 protected:
  void SetUp() override {
    FConnectionString = GetParam().ConnectionString();
    REQUIRE_SERVER(FConnectionString);
    FTables.emplace(FConnectionString);
    FTable = FTables->Name(QStringLiteral("layer"));
    FConnection = adotest::OpenConnection(FConnectionString);
  }
  // The statement with "%1" replaced by the name of this test's table.
  QString WithTable(const QString& statement) const { return statement.arg(FTable); }

  QString FConnectionString;
  std::optional<testdb::ScopedTables> FTables;  // dropped after the connection is gone
  QString FTable;
  std::unique_ptr<Connection> FConnection;
};

// The servers, which are reached over the network.
class OdbcServer : public OdbcLayer {};

}  // namespace

TEST_P(OdbcLayer, ColumnsArriveWithTheMappedTypeAndSizes) {
  const LayerDatabase& database = GetParam();
  Exec(*FConnection, WithTable(QString::fromLatin1(database.TypesTable)));
  auto rs = Exec(*FConnection, WithTable(QStringLiteral("SELECT * FROM %1")));
  ASSERT_TRUE(rs->IsOpen());
  ASSERT_EQ(rs->FieldCount(), static_cast<int>(database.Types.size()));
  for (int i = 0; i < rs->FieldCount(); ++i)
    if (database.Types[static_cast<size_t>(i)])
      adotest::ExpectField(rs->Field(i), *database.Types[static_cast<size_t>(i)]);
  EXPECT_TRUE(rs->Field(0).IsAutoIncrement);
  EXPECT_FALSE(rs->Field(1).IsAutoIncrement);
  database.MoreTypeChecks(*rs);
}

TEST_P(OdbcLayer, LabelNamesTheColumn) {
  auto rs = Exec(*FConnection, QStringLiteral("SELECT 1 AS \"first one\", 2 AS \"Second\""));
  ASSERT_EQ(rs->FieldCount(), 2);
  EXPECT_EQ(rs->Field(0).Name, QStringLiteral("first one"));
  EXPECT_EQ(rs->Field(1).Name, QStringLiteral("Second"));
}

TEST_P(OdbcLayer, ResultsSpanningManyBlocksArriveCompleteAndInOrder) {
  const LayerDatabase& database = GetParam();
  for (const QString& statement : database.RowsSetup) Exec(*FConnection, WithTable(statement));
  const QString query = database.RowsSetup.isEmpty() ? QString::fromLatin1(database.RowsQuery)
                                                     : WithTable(database.RowsQuery);
  for (SQLULEN block : {SQLULEN{7}, ResultFetcher::BlockRows()}) {
    SCOPED_TRACE(block);
    const ScopedRestore blockRows =
        ScopedAssign(&ResultFetcher::BlockRows, &ResultFetcher::SetBlockRows, block);
    FConnection->ClearCancel();
    auto rs = Exec(*FConnection, query);
    ASSERT_EQ(rs->RecordCount(), database.RowCount);
    // What another thread reads as the count of the rows that have arrived.
    EXPECT_EQ(FConnection->RowsFetched(), database.RowCount);
    for (qint64 r = 0; r < database.RowCount; ++r) {
      const qint64 i = r + 1;
      const bool ok = rs->GetValue(r, 0).Int == i && rs->GetValue(r, 1).Double == i * 0.5 &&
                      rs->GetValue(r, 2).Text == QStringLiteral("n%1").arg(i) &&
                      rs->GetValue(r, 3).IsNull() == (i % 3 == 0) &&
                      (i % 3 == 0 || rs->GetValue(r, 3).Int == i);
      ASSERT_TRUE(ok) << "row " << r << ": " << rs->GetValue(r, 0).Int << ", "
                      << rs->GetValue(r, 1).Double << ", " << rs->GetValue(r, 2).Text << ", "
                      << (rs->GetValue(r, 3).IsNull() ? QStringLiteral("NULL")
                                                      : QString::number(rs->GetValue(r, 3).Int));
    }
  }
  // A stop asked for holds until it is cleared, also for a statement not yet begun.
  FConnection->Cancel();
  EXPECT_THROW(Exec(*FConnection, query), EAbort);
  FConnection->ClearCancel();
  EXPECT_EQ(Exec(*FConnection, query)->RecordCount(), database.RowCount);
}

TEST_P(OdbcLayer, UpdateGivesAClosedRecordsetAndMakesTheChange) {
  Exec(*FConnection, WithTable(QStringLiteral("CREATE TABLE %1(a INTEGER)")));
  Exec(*FConnection, WithTable(QStringLiteral("INSERT INTO %1 VALUES (1)")));
  auto rs = Exec(*FConnection, WithTable(QStringLiteral("UPDATE %1 SET a = 2")));
  EXPECT_FALSE(rs->IsOpen());
  EXPECT_EQ(rs->FieldCount(), 0);
  EXPECT_EQ(rs->NextRecordset(), nullptr);
  EXPECT_EQ(Exec(*FConnection, WithTable(QStringLiteral("SELECT a FROM %1")))->GetValue(0, 0).Int,
            2);
  // An update that touches no rows is no failure either.
  EXPECT_FALSE(
      Exec(*FConnection, WithTable(QStringLiteral("UPDATE %1 SET a = 3 WHERE a = 99")))->IsOpen());
}

TEST_P(OdbcLayer, RowsStayReadableAfterTheConnectionCloses) {
  auto rs = Exec(*FConnection, QStringLiteral("SELECT 'kept' AS k"));
  FConnection->Close();
  EXPECT_FALSE(FConnection->IsOpen());
  EXPECT_EQ(rs->GetValue(0, 0).Text, QStringLiteral("kept"));
  // Its statement went with the connection.
  EXPECT_THROW(rs->NextRecordset(), EOleException);
  EXPECT_THROW(Exec(*FConnection, QStringLiteral("SELECT 1")), EOleException);
  FConnection->Close();  // closing twice does nothing
}

TEST_P(OdbcLayer, OutOfRangeAccessIsAnErrorNotACrash) {
  auto rs = Exec(*FConnection, QStringLiteral("SELECT 1 AS a"));
  EXPECT_THROW(rs->GetValue(1, 0), EOleException);
  EXPECT_THROW(rs->GetValue(0, 1), EOleException);
  EXPECT_THROW(rs->Field(-1), EOleException);
  auto closed = Exec(*FConnection, WithTable(QStringLiteral("CREATE TABLE %1(a INTEGER)")));
  EXPECT_EQ(closed->RecordCount(), -1);
  EXPECT_THROW(closed->GetValue(0, 0), EOleException);
}

TEST_P(OdbcLayer, StatementErrorsCarryTheDriversTextTrimmed) {
  const QString message =
      OleMessageOf([&] { Exec(*FConnection, QStringLiteral("SELECT * FROM nowhere")); });
  EXPECT_TRUE(message.contains(QString::fromUtf8(GetParam().NoSuchTableText))) << message;
  EXPECT_FALSE(message.endsWith(QLatin1Char('.')) || message.endsWith(QLatin1Char('\n')) ||
               message.endsWith(QLatin1Char(' ')))
      << message;
  // The connection stays usable.
  EXPECT_EQ(Exec(*FConnection, QStringLiteral("SELECT 5"))->GetValue(0, 0).Int, 5);
}

TEST_P(OdbcServer, WrongPortGivesTheDriversTextTrimmed) {
  QString wrong = FConnectionString;
  wrong.replace(QRegularExpression(QStringLiteral("Port=\\d+")), QStringLiteral("Port=1"));
  OdbcConnection c;
  const QString message = OleMessageOf([&] { c.Open(wrong); });
  EXPECT_TRUE(message.contains(QString::fromUtf8(GetParam().RefusedText))) << message;
  EXPECT_FALSE(message.endsWith(QLatin1Char('\n')) || message.endsWith(QLatin1Char('.')) ||
               message.endsWith(QLatin1Char(' ')))
      << message;
  EXPECT_FALSE(c.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Databases, OdbcLayer, ::testing::Values(kSqlite, kPostgres, kMariaDb),
                         [](const auto& info) { return std::string(info.param.Name); });
INSTANTIATE_TEST_SUITE_P(Databases, OdbcServer, ::testing::Values(kPostgres, kMariaDb),
                         [](const auto& info) { return std::string(info.param.Name); });
