#include "tests/platform/ado/AdoTestSupport.h"
#include "tests/support/TestDatabases.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <limits>
#include <thread>

using namespace ado;
using adotest::Exec;

using PostgresLayer = adotest::ServerTest<&testdb::PostgresConnectionString>;

namespace {

// Passes one connection on to a server, but only after a delay; notes whether the client hung up
// while the server was still there.
class LateProxy {
 public:
  LateProxy(int serverPort, int delayMs) : FServerPort(serverPort), FDelayMs(delayMs) {
    FListen = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t size = sizeof address;
    bind(FListen, reinterpret_cast<sockaddr*>(&address), size);
    listen(FListen, 1);
    getsockname(FListen, reinterpret_cast<sockaddr*>(&address), &size);
    FPort = ntohs(address.sin_port);
    FThread = std::thread([this] { Serve(); });
  }
  ~LateProxy() {
    FStop = true;
    FThread.join();
    close(FListen);
  }
  LateProxy(const LateProxy&) = delete;
  LateProxy& operator=(const LateProxy&) = delete;

  int Port() const { return FPort; }
  bool ClientHungUpWithin(int ms) const {
    QElapsedTimer waited;
    waited.start();
    while (!FClientHungUp && waited.elapsed() < ms)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return FClientHungUp;
  }

 private:
  static sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
  }
  // Waits for the socket to be readable; false when the proxy is to stop.
  bool Readable(pollfd* fds, nfds_t count) const {
    while (!FStop)
      if (poll(fds, count, 20) > 0) return true;
    return false;
  }
  void Serve() {
    pollfd listening{FListen, POLLIN, 0};
    if (!Readable(&listening, 1)) return;
    const int client = accept(FListen, nullptr, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(FDelayMs));
    const int server = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = Loopback(FServerPort);
    connect(server, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    pollfd both[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
    char buffer[8192];
    while (Readable(both, 2)) {
      const bool fromClient = both[0].revents != 0;
      const ssize_t got = read(fromClient ? client : server, buffer, sizeof buffer);
      if (got <= 0) {
        FClientHungUp = fromClient;
        break;
      }
      if (write(fromClient ? server : client, buffer, static_cast<size_t>(got)) != got) break;
    }
    close(server);
    close(client);
  }

  int FServerPort;
  int FDelayMs;
  int FListen = -1;
  int FPort = 0;
  std::atomic<bool> FStop{false};
  std::atomic<bool> FClientHungUp{false};
  std::thread FThread;
};

}  // namespace

// A login that was stopped before the server answered ends on its own when the server does, and
// hangs up again: no session of it stays behind.
TEST_F(PostgresLayer, ALoginStoppedBeforeTheServerAnswersHangsUpWhenItDoes) {
  QString pg = testdb::PostgresConnectionString();
  const QRegularExpression port(QStringLiteral("Port=(\\d+)"));
  LateProxy proxy(port.match(pg).captured(1).toInt(), 1500);
  pg.replace(port, QStringLiteral("Port=%1").arg(proxy.Port()));
  auto connection = ado::CreateConnection();
  std::thread stopper([&connection] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    connection->Cancel();
  });
  QElapsedTimer took;
  took.start();
  EXPECT_THROW(connection->Open(pg), EAbort);
  EXPECT_LT(took.elapsed(), 1000);
  stopper.join();
  EXPECT_FALSE(connection->IsOpen());
  EXPECT_TRUE(proxy.ClientHungUpWithin(10000));
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
  testdb::ScopedTables tables(testdb::PostgresConnectionString());
  const QString into = tables.Name(QStringLiteral("layer_into"));
  const QString with = tables.Name(QStringLiteral("layer_with"));
  Exec(*FConnection, QStringLiteral("CREATE TABLE %1(a int)").arg(with));
  const auto fresh = [] { return adotest::OpenConnection(testdb::PostgresConnectionString()); };
  EXPECT_FALSE(Exec(*fresh(), QStringLiteral("SELECT 7 AS a INTO %1").arg(into))->IsOpen());
  EXPECT_EQ(Exec(*fresh(), QStringLiteral("WITH x AS (INSERT INTO %1 VALUES (8) "
                                          "RETURNING a) SELECT a FROM x")
                               .arg(with))
                ->GetValue(0, 0)
                .Int,
            8);
  EXPECT_EQ(Exec(*fresh(), QStringLiteral("SELECT a FROM %1 -- the new table").arg(into))
                ->GetValue(0, 0)
                .Int,
            7);
  EXPECT_EQ(Exec(*fresh(), QStringLiteral("SELECT a FROM %1").arg(with))->GetValue(0, 0).Int, 8);
}

TEST(PostgresConnection, CloseLeavesNoWorkOfAnOpenTransaction) {
  const QString cs = testdb::PostgresConnectionString();
  REQUIRE_SERVER(cs);
  testdb::ScopedTables tables(cs);
  const QString probe = tables.Name(QStringLiteral("rollback_probe"));
  auto setup = adotest::OpenConnection(cs);
  Exec(*setup, QStringLiteral("CREATE TABLE %1(a INTEGER)").arg(probe));
  auto c = adotest::OpenConnection(cs);
  EXPECT_FALSE(c->InTransaction());
  Exec(*c, QStringLiteral("BEGIN"));
  Exec(*c, QStringLiteral("INSERT INTO %1 VALUES (1)").arg(probe));
  c->Close();
  EXPECT_FALSE(c->IsOpen());
  EXPECT_EQ(Exec(*setup, QStringLiteral("SELECT count(*) FROM %1").arg(probe))->GetValue(0, 0).Int,
            0);
}
