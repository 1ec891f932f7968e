#include "tests/platform/ado/AdoTestSupport.h"
#include "tests/support/TestDatabases.h"

#include <QRegularExpression>

#include <limits>

using namespace ado;
using adotest::Exec;
using adotest::OleMessageOf;

namespace {

class MariaDbLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_SERVER(testdb::MariaDbConnectionString());
    FConnection = adotest::OpenConnection(testdb::MariaDbConnectionString());
  }
  std::unique_ptr<Connection> FConnection;
};

}  // namespace

TEST_F(MariaDbLayer, ColumnsArriveWithTheMappedTypeAndSizes) {
  Exec(*FConnection, QStringLiteral("DROP TABLE IF EXISTS layer_types"));
  Exec(*FConnection,
       QStringLiteral("CREATE TABLE layer_types(id INT AUTO_INCREMENT PRIMARY KEY, b BIGINT, "
                      "ub BIGINT UNSIGNED, ui INT UNSIGNED, ut TINYINT UNSIGNED, "
                      "us SMALLINT UNSIGNED, t TINYINT, bt BIT, fl FLOAT, d DOUBLE, "
                      "n DECIMAL(30,5), dt DATE, tm TIME, ts DATETIME, c CHAR(5), "
                      "v VARCHAR(20), tx TEXT, bl BLOB, vb VARBINARY(10), bn BINARY(4))"));
  auto rs = Exec(*FConnection, QStringLiteral("SELECT * FROM layer_types"));
  ASSERT_EQ(rs->FieldCount(), 20);
  using adotest::ExpectField;
  ExpectField(rs->Field(0), {adInteger, 4, 10, 255, true});
  ExpectField(rs->Field(1), {adBigInt, 8, 20, 255, true});
  ExpectField(rs->Field(2), {adUnsignedBigInt, 8, 19, 255, true});
  ExpectField(rs->Field(3), {adUnsignedInt, 4, 10, 255, true});
  ExpectField(rs->Field(4), {adUnsignedTinyInt, 1, 3, 255, true});
  EXPECT_EQ(rs->Field(5).Type, adUnsignedSmallInt);
  ExpectField(rs->Field(6), {adTinyInt, 1, 3, 255, true});
  ExpectField(rs->Field(7), {adBoolean, 2, 255, 255, true});
  ExpectField(rs->Field(8), {adSingle, 4, 7, 255, true});
  ExpectField(rs->Field(9), {adDouble, 8, 15, 255, true});
  ExpectField(rs->Field(10), {adNumeric, 19, 30, 5, true});
  ExpectField(rs->Field(11), {adDBDate, 6, 10, 255, true});
  ExpectField(rs->Field(12), {adDBTime, 6, 8, 0, true});
  ExpectField(rs->Field(13), {adDBTimeStamp, 16, 19, 0, true});
  ExpectField(rs->Field(14), {adWChar, 5, 255, 255, true});
  ExpectField(rs->Field(15), {adVarWChar, 20, 255, 255, false});
  ExpectField(rs->Field(16), {adVarWChar, 255, 255, 255, false});
  ExpectField(rs->Field(17), {adLongVarBinary, 65535, 255, 255, false});
  ExpectField(rs->Field(18), {adVarBinary, 10, 255, 255, false});
  ExpectField(rs->Field(19), {adBinary, 4, 255, 255, true});
  EXPECT_TRUE(rs->Field(0).IsAutoIncrement);
  EXPECT_FALSE(rs->Field(1).IsAutoIncrement);
  EXPECT_TRUE(rs->Field(0).Attributes & adFldUnknownUpdatable);
  Exec(*FConnection, QStringLiteral("DROP TABLE layer_types"));
}

TEST_F(MariaDbLayer, ValuesRoundTripExactly) {
  Exec(*FConnection, QStringLiteral("DROP TABLE IF EXISTS layer_values"));
  Exec(*FConnection,
       QStringLiteral("CREATE TABLE layer_values(b BIGINT, ub BIGINT UNSIGNED, d DOUBLE, "
                      "n DECIMAL(30,5), v VARCHAR(20), bl BLOB, dt DATE, ts DATETIME(6), "
                      "tm TIME, tx TEXT, bn BINARY(4)) CHARACTER SET utf8mb4"));
  const QString text = QString::fromUtf8("a\u00e9\u4e2d\U0001F600 z");
  Exec(*FConnection,
       QStringLiteral("INSERT INTO layer_values VALUES(9223372036854775807, "
                      "18446744073709551615, 0.1, -1234567890123456789012345.12345, '%1', "
                      "x'00FF000041', '2024-02-29', '1999-12-31 23:59:58.250000', '12:34:56', "
                      "REPEAT('y', 30000), x'00010000')")
           .arg(text));
  Exec(*FConnection,
       QStringLiteral("INSERT INTO layer_values VALUES(-9223372036854775808, 5, -1.5e300, 0, '', "
                      "x'', '1899-12-30', '1899-12-30 06:00:00', '00:00:00', '', NULL)"));
  Exec(*FConnection, QStringLiteral("INSERT INTO layer_values VALUES(NULL, NULL, NULL, NULL, NULL, "
                                    "NULL, NULL, NULL, NULL, NULL, NULL)"));
  auto rs = Exec(*FConnection, QStringLiteral("SELECT * FROM layer_values ORDER BY b DESC"));
  ASSERT_EQ(rs->RecordCount(), 3);
  EXPECT_EQ(rs->GetValue(0, 0).Int, std::numeric_limits<qint64>::max());
  EXPECT_EQ(rs->GetValue(1, 0).Int, std::numeric_limits<qint64>::min());
  const Value ub = rs->GetValue(0, 1);
  EXPECT_EQ(ub.kind, Value::Kind::UInt);
  EXPECT_EQ(ub.UInt, std::numeric_limits<quint64>::max());
  EXPECT_EQ(rs->GetValue(1, 1).kind, Value::Kind::Int);
  EXPECT_EQ(rs->GetValue(1, 1).Int, 5);
  EXPECT_EQ(rs->GetValue(0, 2).Double, 0.1);
  EXPECT_EQ(rs->GetValue(1, 2).Double, -1.5e300);
  EXPECT_EQ(rs->GetValue(0, 3).Text, QStringLiteral("-1234567890123456789012345.12345"));
  EXPECT_EQ(rs->GetValue(0, 4).Text, text);
  EXPECT_EQ(rs->GetValue(0, 5).Bytes, QByteArray("\x00\xff\x00\x00\x41", 5));
  EXPECT_EQ(rs->GetValue(1, 5).kind, Value::Kind::Bytes);
  EXPECT_TRUE(rs->GetValue(1, 5).Bytes.isEmpty());
  EXPECT_EQ(rs->GetValue(0, 6).Text, QStringLiteral("2024-02-29"));
  EXPECT_EQ(rs->GetValue(0, 7).Text, QStringLiteral("1999-12-31 23:59:58.250000"));
  EXPECT_EQ(rs->GetValue(0, 8).Text, QStringLiteral("12:34:56"));
  EXPECT_EQ(rs->GetValue(0, 9).Text, QString(30000, QChar(u'y')));
  EXPECT_EQ(rs->GetValue(0, 10).Bytes, QByteArray("\x00\x01\x00\x00", 4));
  for (int c = 0; c < rs->FieldCount(); ++c) EXPECT_TRUE(rs->GetValue(2, c).IsNull()) << c;
  Exec(*FConnection, QStringLiteral("DROP TABLE layer_values"));
}

TEST_F(MariaDbLayer, UpdateGivesAClosedRecordsetAndMakesTheChange) {
  Exec(*FConnection, QStringLiteral("DROP TABLE IF EXISTS layer_update"));
  Exec(*FConnection, QStringLiteral("CREATE TABLE layer_update(a INT)"));
  Exec(*FConnection, QStringLiteral("INSERT INTO layer_update VALUES (1)"));
  auto rs = Exec(*FConnection, QStringLiteral("UPDATE layer_update SET a = 2"));
  EXPECT_FALSE(rs->IsOpen());
  EXPECT_EQ(rs->NextRecordset(), nullptr);
  EXPECT_EQ(Exec(*FConnection, QStringLiteral("SELECT a FROM layer_update"))->GetValue(0, 0).Int,
            2);
  Exec(*FConnection, QStringLiteral("DROP TABLE layer_update"));
}

TEST_F(MariaDbLayer, ResultsSpanningManyBlocksArriveCompleteAndInOrder) {
  auto rs =
      Exec(*FConnection,
           QStringLiteral("SELECT seq, CAST(CONCAT('n', seq) AS CHAR(20)) FROM seq_1_to_20000 "
                          "ORDER BY seq"));
  ASSERT_EQ(rs->RecordCount(), 20000);
  for (qint64 r = 0; r < 20000; ++r) {
    ASSERT_EQ(rs->GetValue(r, 0).Int, r + 1);
    ASSERT_EQ(rs->GetValue(r, 1).Text, QStringLiteral("n%1").arg(r + 1));
  }
}

TEST(MariaDbConnection, WrongPortGivesTheDriversTextTrimmed) {
  const QString good = testdb::MariaDbConnectionString();
  REQUIRE_SERVER(good);
  QString wrong = good;
  wrong.replace(QRegularExpression(QStringLiteral("Port=\\d+")), QStringLiteral("Port=1"));
  OdbcConnection c;
  const QString message = OleMessageOf([&] { c.Open(wrong); });
  EXPECT_TRUE(message.contains(QStringLiteral("Can't connect"))) << message;
  EXPECT_FALSE(message.endsWith(QLatin1Char('\n')) || message.endsWith(QLatin1Char('.')) ||
               message.endsWith(QLatin1Char(' ')))
      << message;
  EXPECT_FALSE(c.IsOpen());
}
