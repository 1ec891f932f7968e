#include "tests/platform/ado/AdoTestSupport.h"
#include "tests/support/TestDatabases.h"

#include <QRegularExpression>

#include <limits>

using namespace ado;
using adotest::Exec;
using adotest::OleMessageOf;

namespace {

class PostgresLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_SERVER(testdb::PostgresConnectionString());
    FConnection = adotest::OpenConnection(testdb::PostgresConnectionString());
  }
  std::unique_ptr<Connection> FConnection;
};

}  // namespace

TEST_F(PostgresLayer, ColumnsArriveWithTheMappedTypeAndSizes) {
  Exec(*FConnection,
       QStringLiteral("CREATE TEMP TABLE t(id SERIAL, b BIGINT, s SMALLINT, f BOOLEAN, r REAL, "
                      "d DOUBLE PRECISION, n NUMERIC(30,5), dt DATE, tm TIME, ts TIMESTAMP, "
                      "c CHAR(5), v VARCHAR(20), tx TEXT, by BYTEA, u UUID, iv INTERVAL)"));
  auto rs = Exec(*FConnection, QStringLiteral("SELECT * FROM t"));
  ASSERT_EQ(rs->FieldCount(), 16);
  using adotest::ExpectField;
  ExpectField(rs->Field(0), {adInteger, 4, 10, 255, true});
  ExpectField(rs->Field(1), {adBigInt, 8, 19, 255, true});
  ExpectField(rs->Field(2), {adSmallInt, 2, 5, 255, true});
  // psqlODBC reports booleans as text unless BoolsAsChar=0.
  ExpectField(rs->Field(3), {adVarChar, 5, 255, 255, false});
  ExpectField(rs->Field(4), {adSingle, 4, 9, 255, true});
  ExpectField(rs->Field(5), {adDouble, 8, 17, 255, true});
  ExpectField(rs->Field(6), {adNumeric, 19, 30, 5, true});
  ExpectField(rs->Field(7), {adDBDate, 6, 10, 255, true});
  ExpectField(rs->Field(8), {adDBTime, 6, 8, 6, true});
  ExpectField(rs->Field(9), {adDBTimeStamp, 16, 26, 6, true});
  ExpectField(rs->Field(10), {adWChar, 5, 255, 255, true});
  ExpectField(rs->Field(11), {adVarWChar, 20, 255, 255, false});
  ExpectField(rs->Field(12), {adVarWChar, 255, 255, 255, false});
  ExpectField(rs->Field(13), {adLongVarBinary, 0, 255, 255, false});
  ExpectField(rs->Field(14), {adGUID, 16, 255, 255, true});
  // A type without a mapping is read as text.
  EXPECT_EQ(rs->Field(15).Type, adVarWChar);
  EXPECT_TRUE(rs->Field(0).IsAutoIncrement);
  EXPECT_FALSE(rs->Field(1).IsAutoIncrement);
  EXPECT_FALSE(rs->Field(0).Attributes & adFldIsNullable);
  EXPECT_TRUE(rs->Field(1).Attributes & adFldIsNullable);
}

TEST_F(PostgresLayer, BooleansAreBitsWithBoolsAsCharOff) {
  auto c = adotest::OpenConnection(testdb::PostgresConnectionString() +
                                   QStringLiteral(";BoolsAsChar=0"));
  auto rs = Exec(*c, QStringLiteral("SELECT true AS t, false AS f, NULL::boolean AS n"));
  EXPECT_EQ(rs->Field(0).Type, adBoolean);
  EXPECT_EQ(rs->GetValue(0, 0).kind, Value::Kind::Bool);
  EXPECT_TRUE(rs->GetValue(0, 0).Bool);
  EXPECT_FALSE(rs->GetValue(0, 1).Bool);
  EXPECT_TRUE(rs->GetValue(0, 2).IsNull());
}

TEST_F(PostgresLayer, ValuesRoundTripExactly) {
  const QString text = QString::fromUtf8("a\u00e9\u4e2d\U0001F600\U0001D11E z");
  auto rs = Exec(
      *FConnection,
      QStringLiteral("SELECT 9223372036854775807::bigint, (-9223372036854775807 - 1)::bigint, "
                     "0.1::float8, -1.5e300::float8, "
                     "-1234567890123456789012345.12345::numeric(30,5), 0.00001::numeric(30,5), "
                     "'%1'::varchar(20), E'\\\\x00ff0000417f'::bytea, DATE '2024-02-29', "
                     "TIMESTAMP '1999-12-31 23:59:58.5', TIME '12:34:56', "
                     "'0e2f8b0c-1a2b-4c3d-9e8f-a1b2c3d4e5f6'::uuid, NULL::int, NULL::text, "
                     "repeat('x', 20000), ''::text")
          .arg(text));
  ASSERT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(rs->GetValue(0, 0).Int, std::numeric_limits<qint64>::max());
  EXPECT_EQ(rs->GetValue(0, 1).Int, std::numeric_limits<qint64>::min());
  EXPECT_EQ(rs->GetValue(0, 2).Double, 0.1);
  EXPECT_EQ(rs->GetValue(0, 3).Double, -1.5e300);
  // Decimals, dates and times come as the database's text, which the fields read.
  EXPECT_EQ(rs->GetValue(0, 4).Text, QStringLiteral("-1234567890123456789012345.12345"));
  EXPECT_EQ(rs->GetValue(0, 5).Text, QStringLiteral("0.00001"));
  EXPECT_EQ(rs->GetValue(0, 6).Text, text);
  EXPECT_EQ(rs->GetValue(0, 7).Bytes, QByteArray("\x00\xff\x00\x00\x41\x7f", 6));
  EXPECT_EQ(rs->GetValue(0, 8).Text, QStringLiteral("2024-02-29"));
  EXPECT_EQ(rs->GetValue(0, 9).Text, QStringLiteral("1999-12-31 23:59:58.5"));
  EXPECT_EQ(rs->GetValue(0, 10).Text, QStringLiteral("12:34:56"));
  EXPECT_EQ(rs->GetValue(0, 11).kind, Value::Kind::Guid);
  EXPECT_EQ(rs->GetValue(0, 11).Text, QStringLiteral("{0E2F8B0C-1A2B-4C3D-9E8F-A1B2C3D4E5F6}"));
  EXPECT_TRUE(rs->GetValue(0, 12).IsNull());
  EXPECT_TRUE(rs->GetValue(0, 13).IsNull());
  EXPECT_EQ(rs->GetValue(0, 14).Text, QString(20000, QChar(u'x')));
  EXPECT_EQ(rs->GetValue(0, 15).kind, Value::Kind::Text);
  EXPECT_TRUE(rs->GetValue(0, 15).Text.isEmpty());
}

TEST_F(PostgresLayer, ResultsSpanningManyBlocksArriveCompleteAndInOrder) {
  auto rs = Exec(*FConnection, QStringLiteral("SELECT i, i * 0.5::float8, ('n' || i)::varchar(20), "
                                              "CASE WHEN i % 3 = 0 THEN NULL ELSE i END "
                                              "FROM generate_series(1, 50000) AS s(i) ORDER BY 1"));
  ASSERT_EQ(rs->RecordCount(), 50000);
  for (qint64 r = 0; r < 50000; ++r) {
    const qint64 i = r + 1;
    const bool ok = rs->GetValue(r, 0).Int == i && rs->GetValue(r, 1).Double == i * 0.5 &&
                    rs->GetValue(r, 2).Text == QStringLiteral("n%1").arg(i) &&
                    rs->GetValue(r, 3).IsNull() == (i % 3 == 0);
    ASSERT_TRUE(ok) << "row " << r;
  }
}

TEST_F(PostgresLayer, UpdateGivesAClosedRecordsetAndMakesTheChange) {
  Exec(*FConnection, QStringLiteral("CREATE TEMP TABLE u(a INTEGER)"));
  Exec(*FConnection, QStringLiteral("INSERT INTO u VALUES (1)"));
  auto rs = Exec(*FConnection, QStringLiteral("UPDATE u SET a = 2"));
  EXPECT_FALSE(rs->IsOpen());
  EXPECT_EQ(rs->NextRecordset(), nullptr);
  EXPECT_EQ(Exec(*FConnection, QStringLiteral("SELECT a FROM u"))->GetValue(0, 0).Int, 2);
}

TEST_F(PostgresLayer, BatchYieldsTheSelectAfterNextRecordset) {
  Exec(*FConnection, QStringLiteral("CREATE TEMP TABLE b(a INTEGER)"));
  Exec(*FConnection, QStringLiteral("INSERT INTO b VALUES (1), (2)"));
  auto first = Exec(*FConnection, QStringLiteral("UPDATE b SET a = a * 10; SELECT a FROM b "
                                                 "ORDER BY a; SELECT 'third' AS x"));
  EXPECT_FALSE(first->IsOpen());
  auto second = first->NextRecordset();
  ASSERT_NE(second, nullptr);
  ASSERT_TRUE(second->IsOpen());
  ASSERT_EQ(second->RecordCount(), 2);
  EXPECT_EQ(second->GetValue(0, 0).Int, 10);
  EXPECT_EQ(second->GetValue(1, 0).Int, 20);
  auto third = second->NextRecordset();
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(third->Field(0).Name, QStringLiteral("x"));
  EXPECT_EQ(third->GetValue(0, 0).Text, QStringLiteral("third"));
  EXPECT_EQ(third->NextRecordset(), nullptr);
}

TEST_F(PostgresLayer, ParametersAreDescribedAndSentAsNull) {
  Exec(*FConnection, QStringLiteral("CREATE TEMP TABLE p(id INTEGER, name VARCHAR(30), "
                                    "amount NUMERIC(12,2))"));
  Exec(*FConnection, QStringLiteral("INSERT INTO p VALUES (1, 'one', 1.5), (NULL, 'none', 0)"));
  const QString sql = QStringLiteral(
      "SELECT name FROM p WHERE id = ? OR name = ? OR amount = ? OR CAST(? AS INTEGER) IS NULL");
  const std::vector<ParameterInfo> params = FConnection->DescribeParameters(sql);
  ASSERT_EQ(params.size(), 4u);
  for (size_t i = 0; i < params.size(); ++i) {
    EXPECT_EQ(params[i].Name, QStringLiteral("Param%1").arg(i + 1));
    EXPECT_EQ(params[i].Direction, adParamInput);
  }
  EXPECT_EQ(params[0].Type, adInteger);
  // psqlODBC describes character parameters as long text, which is a string.
  EXPECT_EQ(params[1].Type, adVarWChar);
  EXPECT_EQ(params[2].Type, adNumeric);
  EXPECT_TRUE(params[0].Attributes & adParamNullable);
  // Without values every marker is NULL: only "? IS NULL" holds, for every row.
  auto rs = FConnection->Execute(sql, params);
  EXPECT_EQ(rs->RecordCount(), 2);
}

// The driver's cursors, which stream rows, refuse some statements; they must run all the same.
// Each is the first statement of its connection, the one that may stream.
TEST_F(PostgresLayer, StatementsACursorRefusesRunAllTheSame) {
  Exec(*FConnection, QStringLiteral("DROP TABLE IF EXISTS layer_into, layer_with"));
  Exec(*FConnection, QStringLiteral("CREATE TABLE layer_with(a int)"));
  const auto fresh = [] { return adotest::OpenConnection(testdb::PostgresConnectionString()); };
  EXPECT_FALSE(Exec(*fresh(), QStringLiteral("SELECT 7 AS a INTO layer_into"))->IsOpen());
  EXPECT_EQ(Exec(*fresh(), QStringLiteral("WITH x AS (INSERT INTO layer_with VALUES (8) "
                                          "RETURNING a) SELECT a FROM x"))
                ->GetValue(0, 0)
                .Int,
            8);
  EXPECT_EQ(Exec(*fresh(), QStringLiteral("SELECT a FROM layer_into -- the new table"))
                ->GetValue(0, 0)
                .Int,
            7);
  EXPECT_EQ(Exec(*fresh(), QStringLiteral("SELECT a FROM layer_with"))->GetValue(0, 0).Int, 8);
  Exec(*FConnection, QStringLiteral("DROP TABLE layer_into, layer_with"));
}

TEST_F(PostgresLayer, StatementErrorIsTheDriversTextTrimmed) {
  const QString message =
      OleMessageOf([&] { Exec(*FConnection, QStringLiteral("SELECT * FROM nowhere")); });
  EXPECT_TRUE(message.contains(QStringLiteral("relation \"nowhere\" does not exist"))) << message;
  EXPECT_FALSE(message.endsWith(QLatin1Char('.')) || message.endsWith(QLatin1Char('\n')) ||
               message.endsWith(QLatin1Char(' ')));
  EXPECT_EQ(Exec(*FConnection, QStringLiteral("SELECT 7"))->GetValue(0, 0).Int, 7);
}

TEST(PostgresConnection, WrongPortGivesTheDriversTextTrimmed) {
  const QString good = testdb::PostgresConnectionString();
  REQUIRE_SERVER(good);
  QString wrong = good;
  wrong.replace(QRegularExpression(QStringLiteral("Port=\\d+")), QStringLiteral("Port=1"));
  OdbcConnection c;
  const QString message = OleMessageOf([&] { c.Open(wrong); });
  EXPECT_TRUE(message.contains(QStringLiteral("Connection refused"))) << message;
  EXPECT_FALSE(message.endsWith(QLatin1Char('\n')) || message.endsWith(QLatin1Char('.')) ||
               message.endsWith(QLatin1Char(' ')))
      << message;
  EXPECT_FALSE(c.IsOpen());
}

TEST(PostgresConnection, CloseLeavesNoWorkOfAnOpenTransaction) {
  const QString cs = testdb::PostgresConnectionString();
  REQUIRE_SERVER(cs);
  auto setup = adotest::OpenConnection(cs);
  Exec(*setup, QStringLiteral("DROP TABLE IF EXISTS rollback_probe"));
  Exec(*setup, QStringLiteral("CREATE TABLE rollback_probe(a INTEGER)"));
  auto c = adotest::OpenConnection(cs);
  EXPECT_FALSE(c->InTransaction());
  Exec(*c, QStringLiteral("BEGIN"));
  Exec(*c, QStringLiteral("INSERT INTO rollback_probe VALUES (1)"));
  c->Close();
  EXPECT_FALSE(c->IsOpen());
  EXPECT_EQ(Exec(*setup, QStringLiteral("SELECT count(*) FROM rollback_probe"))->GetValue(0, 0).Int,
            0);
  Exec(*setup, QStringLiteral("DROP TABLE rollback_probe"));
}
