#pragma once

#include "platform/ado/AdoInterfaces.h"
#include "platform/ado/LoginTimeout.h"
#include "platform/ado/OdbcHandle.h"
#include "platform/ado/OdbcStatement.h"

#include <memory>
#include <vector>

namespace ado {

// A connection through the ODBC driver manager.
class OdbcConnection : public Connection {
 public:
  // Connecting gives up after loginTimeoutSeconds unless the connection string sets its own.
  explicit OdbcConnection(int loginTimeoutSeconds = kDefaultLoginTimeoutSeconds)
      : FLoginTimeoutSeconds(loginTimeoutSeconds) {}
  ~OdbcConnection() override;
  OdbcConnection(const OdbcConnection&) = delete;
  OdbcConnection& operator=(const OdbcConnection&) = delete;

  void Open(const QString& connectionString) override;
  void Close() override;
  bool IsOpen() const override { return !FConnection.IsNull(); }
  bool InTransaction() const override;

  std::vector<ParameterInfo> DescribeParameters(const QString& commandText) override;
  std::unique_ptr<Recordset> Execute(const QString& commandText,
                                     const std::vector<ParameterInfo>& parameters) override;

 private:
  // Connects the handle, giving up as the time-out says; a failure is an EOleException.
  static void Connect(const OdbcHandle& connection, const LoginTimeout& timeout);
  void RequireOpen() const;
  std::shared_ptr<OdbcStatement> NewStatement();
  // Frees the statements still held by recordsets, so none outlives its connection.
  void FreeStatements() noexcept;

  int FLoginTimeoutSeconds;
  OdbcHandle FConnection;
  SQLUINTEGER FGetDataExtensions = 0;
  std::vector<std::weak_ptr<OdbcStatement>> FStatements;
};

}  // namespace ado
