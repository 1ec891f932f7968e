#include "tests/platform/ado/AdoTestSupport.h"
#include "tests/support/TestDatabases.h"

#include <limits>

using namespace ado;
using adotest::Exec;

using MariaDbLayer = adotest::ServerTest<&testdb::MariaDbConnectionString>;

TEST_F(MariaDbLayer, ValuesRoundTripExactly) {
  testdb::ScopedTables tables(testdb::MariaDbConnectionString());
  const QString table = tables.Name(QStringLiteral("layer_values"));
  Exec(*FConnection,
       QStringLiteral("CREATE TABLE %1(b BIGINT, ub BIGINT UNSIGNED, d DOUBLE, "
                      "n DECIMAL(30,5), v VARCHAR(20), bl BLOB, dt DATE, ts DATETIME(6), "
                      "tm TIME, tx TEXT, bn BINARY(4)) CHARACTER SET utf8mb4")
           .arg(table));
  const QString text = QString::fromUtf8("a\u00e9\u4e2d\U0001F600 z");
  Exec(*FConnection,
       QStringLiteral("INSERT INTO %1 VALUES(9223372036854775807, "
                      "18446744073709551615, 0.1, -1234567890123456789012345.12345, '%2', "
                      "x'00FF000041', '2024-02-29', '1999-12-31 23:59:58.250000', '12:34:56', "
                      "REPEAT('y', 30000), x'00010000')")
           .arg(table, text));
  Exec(*FConnection,
       QStringLiteral("INSERT INTO %1 VALUES(-9223372036854775808, 5, -1.5e300, 0, '', "
                      "x'', '1899-12-30', '1899-12-30 06:00:00', '00:00:00', '', NULL)")
           .arg(table));
  Exec(*FConnection, QStringLiteral("INSERT INTO %1 VALUES(NULL, NULL, NULL, NULL, NULL, "
                                    "NULL, NULL, NULL, NULL, NULL, NULL)")
                         .arg(table));
  auto rs = Exec(*FConnection, QStringLiteral("SELECT * FROM %1 ORDER BY b DESC").arg(table));
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
}
