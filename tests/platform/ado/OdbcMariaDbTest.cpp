#include "platform/ado/OdbcEnvironment.h"
#include "platform/ado/OdbcText.h"
#include "tests/platform/ado/AdoTestSupport.h"
#include "tests/support/ScopedBudget.h"
#include "tests/support/TestDatabases.h"

#include <sql.h>
#include <sqlext.h>

#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

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

TEST_F(MariaDbLayer, SetStatementForAQueryReturnsItsRowsOnBothRoads) {
  // The user's own NO_CACHE=0 keeps the plain road.
  for (const QString& road : {QString(), QStringLiteral(";NO_CACHE=0")}) {
    SCOPED_TRACE(road.toStdString());
    auto connection = adotest::OpenConnection(testdb::MariaDbConnectionString() + road);
    auto rs = Exec(*connection, QStringLiteral("SET STATEMENT max_statement_time=30 FOR "
                                               "SELECT 1 AS a, @@max_statement_time AS t"));
    ASSERT_EQ(rs->FieldCount(), 2);
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->GetValue(0, 0).Int, 1);
    EXPECT_EQ(rs->GetValue(0, 1).Double, 30);
  }
}

namespace {

// The connector's version as it reports it ("03.01.0015"); empty when it cannot connect.
std::string ConnectorVersion(const QString& connectionString) {
  SQLHDBC dbc = nullptr;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, OdbcEnvironment(), &dbc))) return {};
  std::vector<SQLWCHAR> text = ToSqlWChar(connectionString);
  std::string version;
  if (SQL_SUCCEEDED(SQLDriverConnectW(dbc, nullptr, text.data(), SQL_NTS, nullptr, 0, nullptr,
                                      SQL_DRIVER_NOPROMPT))) {
    char reported[32] = {};
    if (SQL_SUCCEEDED(SQLGetInfo(dbc, SQL_DRIVER_VER, reported, sizeof reported, nullptr)))
      version = reported;
    SQLDisconnect(dbc);
  }
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  return version;
}

// The process's resident bytes at their peak since the last reset ("VmHWM").
qint64 PeakResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024;
  return 0;
}

}  // namespace

TEST_F(MariaDbLayer, AStreamedResultHoldsTheBudgetAndOneBlockAtMost) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer keeps freed memory in quarantine";
#endif
  const std::string version = ConnectorVersion(testdb::MariaDbConnectionString());
  // The versions are zero-padded, so their texts sort as the versions do.
  if (version < "03.01.0017")
    GTEST_SKIP() << "MariaDB Connector/ODBC " << version
                 << " holds a whole result before its first row is fetched, whatever it is told "
                    "(NO_CACHE, OPTION bits, cursor types, prepared statements): it streams from "
                    "3.1.17 on";
  constexpr size_t kBudget = size_t{64} << 20;
  const auto budget = ScopedBudget(kBudget);
  std::ofstream("/proc/self/clear_refs") << "5";
  const qint64 before = PeakResidentBytes();
  auto rs = Exec(*FConnection, QStringLiteral("SELECT seq, repeat('x', 50) FROM seq_1_to_5000000"));
  const qint64 grown = PeakResidentBytes() - before;
  ASSERT_EQ(rs->RecordCount(), 5000000);
  EXPECT_EQ(rs->GetValue(4999999, 0).Int, 5000000);
  // 290 MB of values; the budget, the chunks still being filled (2 MiB for each of the columns'
  // three buffers), one block of bound buffers and the connector's row: well under 128 MiB.
  EXPECT_LT(grown, qint64{128} << 20) << "peak grew by " << (grown >> 20) << " MiB";
}
