#pragma once

#include "base/Exceptions.h"
#include "platform/ado/AdoInterfaces.h"
#include "platform/ado/OdbcConnection.h"
#include "tests/support/TestDatabases.h"

#include <gtest/gtest.h>

#include <QString>

#include <memory>

// Helpers shared by the database layer's integration tests.
namespace adotest {

inline std::unique_ptr<ado::Connection> OpenConnection(const QString& connectionString) {
  auto connection = std::make_unique<ado::OdbcConnection>();
  connection->Open(connectionString);
  return connection;
}

// A test on one server's database, with a connection open; skipped (or failed, when servers are
// required) without that server.
template <QString (*ConnectionString)()>
class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_SERVER(ConnectionString());
    FConnection = OpenConnection(ConnectionString());
  }
  std::unique_ptr<ado::Connection> FConnection;
};

inline std::unique_ptr<ado::Recordset> Exec(ado::Connection& connection, const QString& sql) {
  return connection.Execute(sql, {});
}

// The message of the EOleException that the call throws, or a marker when it throws none.
template <typename F>
QString OleMessageOf(F&& call) {
  try {
    call();
  } catch (const EOleException& e) {
    return e.Message();
  }
  return QStringLiteral("<no EOleException>");
}

// One column's expected description.
struct ExpectedField {
  int Type;
  qint64 DefinedSize;
  int Precision;
  int NumericScale;
  bool Fixed;
};

inline void ExpectField(const ado::FieldInfo& f, const ExpectedField& e) {
  SCOPED_TRACE(f.Name.toStdString());
  EXPECT_EQ(f.Type, e.Type);
  EXPECT_EQ(f.DefinedSize, e.DefinedSize);
  EXPECT_EQ(f.Precision, e.Precision);
  EXPECT_EQ(f.NumericScale, e.NumericScale);
  EXPECT_EQ((f.Attributes & ado::adFldFixed) != 0, e.Fixed);
  EXPECT_TRUE(f.HasIsAutoIncrement);
}

}  // namespace adotest

inline std::ostream& operator<<(std::ostream& os, const QString& s) {
  return os << s.toStdString();
}
