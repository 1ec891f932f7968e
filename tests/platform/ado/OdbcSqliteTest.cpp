#include "tests/platform/ado/AdoTestSupport.h"
#include "tests/support/ScopedValue.h"
#include "tests/support/TestDatabases.h"

#include <QFile>

#include <limits>

using namespace ado;
using adotest::Exec;
using adotest::OleMessageOf;

namespace {

class SqliteLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    static int n = 0;
    FPath = testdb::SqlitePath(QStringLiteral("layer%1.db").arg(++n));
    FConnection = adotest::OpenConnection(QStringLiteral("DRIVER=SQLite3;Database=%1").arg(FPath));
  }
  QString FPath;
  std::unique_ptr<Connection> FConnection;
};

}  // namespace

TEST_F(SqliteLayer, ValuesRoundTripExactly) {
  Exec(*FConnection, QStringLiteral("CREATE TABLE v(i BIGINT, d DOUBLE, t VARCHAR(40), x TEXT, "
                                    "b BLOB, dt DATE, ts TIMESTAMP, tm TIME, dec DECIMAL(30,5))"));
  Exec(
      *FConnection,
      // The driver mangles surrogate pairs in statement text, so the text comes as UTF-8 bytes.
      QStringLiteral("INSERT INTO v VALUES(9223372036854775807, 0.1, CAST(x'%1' AS TEXT), "
                     "'long\r\ntext', x'00FF0041', '2024-02-29', '1999-12-31 23:59:58', "
                     "'12:34:56', '-1234567890123456789012345.12345')")
          .arg(QString::fromLatin1(QString::fromUtf8("a\u00e9\u4e2d\U0001F600").toUtf8().toHex())));
  Exec(*FConnection, QStringLiteral("INSERT INTO v VALUES(-9223372036854775808, -1.5e300, '', '', "
                                    "x'', '1899-12-29', '1899-12-30 06:00:00', '00:00:00', '0')"));
  Exec(
      *FConnection,
      QStringLiteral("INSERT INTO v VALUES(NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)"));
  auto rs = Exec(*FConnection, QStringLiteral("SELECT * FROM v"));
  ASSERT_EQ(rs->RecordCount(), 3);

  EXPECT_EQ(rs->GetValue(0, 0).Int, std::numeric_limits<qint64>::max());
  EXPECT_EQ(rs->GetValue(1, 0).Int, std::numeric_limits<qint64>::min());
  EXPECT_EQ(rs->GetValue(0, 1).Double, 0.1);
  EXPECT_EQ(rs->GetValue(1, 1).Double, -1.5e300);
  const Value text = rs->GetValue(0, 2);
  EXPECT_EQ(text.kind, Value::Kind::Text);
  EXPECT_EQ(text.Text, QString::fromUtf8("a\u00e9\u4e2d\U0001F600"));
  EXPECT_EQ(rs->GetValue(1, 2).Text, QString());
  EXPECT_EQ(rs->GetValue(1, 2).kind, Value::Kind::Text);
  EXPECT_EQ(rs->GetValue(0, 3).Text, QStringLiteral("long\r\ntext"));
  const Value bytes = rs->GetValue(0, 4);
  EXPECT_EQ(bytes.kind, Value::Kind::Bytes);
  EXPECT_EQ(bytes.Bytes, QByteArray("\x00\xff\x00\x41", 4));
  // Dates are SQLite's own text, which the fields read.
  EXPECT_EQ(rs->GetValue(0, 5).kind, Value::Kind::Text);
  EXPECT_EQ(rs->GetValue(0, 5).Text, QStringLiteral("2024-02-29"));
  EXPECT_EQ(rs->GetValue(0, 6).Text, QStringLiteral("1999-12-31 23:59:58"));
  EXPECT_EQ(rs->GetValue(0, 7).Text, QStringLiteral("12:34:56"));
  EXPECT_EQ(rs->GetValue(1, 5).Text, QStringLiteral("1899-12-29"));
  // DECIMAL has numeric affinity in SQLite: the long literal is kept as a double.
  EXPECT_EQ(rs->GetValue(0, 8).Text, QStringLiteral("-1.23456789012346e+24"));
  for (int c = 0; c < rs->FieldCount(); ++c) EXPECT_TRUE(rs->GetValue(2, c).IsNull()) << c;
}

TEST_F(SqliteLayer, ValuesLongerThanTheDeclaredSizeArriveWhole) {
  // SQLite keeps whatever it is given, whatever the declared length.
  Exec(*FConnection, QStringLiteral("CREATE TABLE w(n INTEGER, v VARCHAR(5), b BLOB)"));
  const QString longText = QString(300, QChar(u'x')) + QString::fromUtf8("\u00e9\u4e2d");
  QByteArray blob(1000, '\0');
  for (int i = 0; i < blob.size(); ++i) blob[i] = static_cast<char>(i % 251);
  Exec(*FConnection, QStringLiteral("INSERT INTO w VALUES(1, 'short', x'01')"));
  Exec(*FConnection, QStringLiteral("INSERT INTO w VALUES(2, '%1', x'%2')")
                         .arg(longText, QString::fromLatin1(blob.toHex())));
  Exec(*FConnection, QStringLiteral("INSERT INTO w VALUES(3, 'after', NULL)"));
  auto rs = Exec(*FConnection, QStringLiteral("SELECT n, v, b FROM w ORDER BY n"));
  ASSERT_EQ(rs->RecordCount(), 3);
  EXPECT_EQ(rs->GetValue(0, 1).Text, QStringLiteral("short"));
  EXPECT_EQ(rs->GetValue(1, 1).Text, longText);
  EXPECT_EQ(rs->GetValue(1, 2).Bytes, blob);
  EXPECT_EQ(rs->GetValue(2, 0).Int, 3);
  EXPECT_EQ(rs->GetValue(2, 1).Text, QStringLiteral("after"));
  EXPECT_TRUE(rs->GetValue(2, 2).IsNull());
}

// The driver's streaming option leaves statements unrun that begin like queries but yield no
// rows; they must run all the same. Each is the first statement of its connection, the one that
// may stream.
TEST_F(SqliteLayer, StatementsThatYieldNoRowsRunWhateverTheyBeginWith) {
  Exec(*FConnection, QStringLiteral("CREATE TABLE w(a INTEGER)"));
  const QString cs = QStringLiteral("DRIVER=SQLite3;Database=%1").arg(FPath);
  for (const char* sql : {"WITH x AS (SELECT 5 AS v) INSERT INTO w SELECT v FROM x",
                          "  /* note */ with x as (select 6 as v) insert into w select v from x",
                          "PRAGMA user_version = 7"}) {
    EXPECT_FALSE(Exec(*adotest::OpenConnection(cs), QString::fromLatin1(sql))->IsOpen()) << sql;
  }
  auto rs = Exec(*adotest::OpenConnection(cs), QStringLiteral("SELECT group_concat(a) FROM w"));
  EXPECT_EQ(rs->GetValue(0, 0).Text, QStringLiteral("5,6"));
  EXPECT_EQ(Exec(*FConnection, QStringLiteral("PRAGMA user_version"))->GetValue(0, 0).Int, 7);
}

TEST_F(SqliteLayer, NoCreatRefusesAMissingDatabase) {
  Connection& c = *FConnection;
  c.Close();
  const QString missing = testdb::SqlitePath(QStringLiteral("absent.db"));
  EXPECT_THROW(c.Open(QStringLiteral("DRIVER=SQLite3;Database=%1;NoCreat=1").arg(missing)),
               EOleException);
  EXPECT_FALSE(c.IsOpen());
  EXPECT_FALSE(QFile::exists(missing));
  c.Open(QStringLiteral("DRIVER=SQLite3;Database=%1;NoCreat=1").arg(FPath));
  EXPECT_TRUE(c.IsOpen());
  EXPECT_FALSE(c.InTransaction());
}

TEST(OdbcConnectionErrors, EmptyStringAndUnknownDriverGiveTheDriverManagersText) {
  OdbcConnection c;
  EXPECT_EQ(OleMessageOf([&] { c.Open(QString()); }),
            QStringLiteral("[unixODBC][Driver Manager]Data source name not found and no default "
                           "driver specified"));
  EXPECT_EQ(OleMessageOf([&] { c.Open(QStringLiteral("DRIVER={No Such Driver}")); }),
            QStringLiteral("[unixODBC][Driver Manager]Can't open lib 'No Such Driver' : file not "
                           "found"));
  EXPECT_FALSE(c.IsOpen());
  try {
    c.Open(QStringLiteral("DSN=nothing_here"));
    FAIL();
  } catch (const EOleException& e) {
    EXPECT_EQ(e.SqlState(), QStringLiteral("IM002"));
    EXPECT_EQ(e.ErrorCode(), static_cast<qint32>(0x80004005u));
  }
}

TEST(OdbcConnectionErrors, OperationsOnAClosedConnectionFail) {
  OdbcConnection c;
  EXPECT_THROW(c.Execute(QStringLiteral("SELECT 1"), {}), EOleException);
  EXPECT_THROW(c.DescribeParameters(QStringLiteral("SELECT 1")), EOleException);
  EXPECT_FALSE(c.InTransaction());
  c.Close();
}

TEST(ConnectionFactory, InstalledFactoryIsUsedAndCanBeRemoved) {
  const ScopedRestore none([] { SetConnectionFactory({}); });
  int made = 0;
  ConnectionFactory previous = SetConnectionFactory([&] {
    ++made;
    return std::make_unique<OdbcConnection>();
  });
  EXPECT_FALSE(previous);
  EXPECT_NE(CreateConnection(), nullptr);
  EXPECT_EQ(made, 1);
  SetConnectionFactory({});
  auto odbc = CreateConnection();
  EXPECT_EQ(made, 1);
  EXPECT_NE(dynamic_cast<OdbcConnection*>(odbc.get()), nullptr);
}
