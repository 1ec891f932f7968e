#pragma once

#include "platform/ado/AdoInterfaces.h"
#include "platform/ado/LoginTimeout.h"
#include "platform/ado/OdbcHandle.h"
#include "platform/ado/OdbcStatement.h"
#include "platform/ado/StatementControl.h"
#include "platform/ado/StreamingOption.h"
#include "platform/ado/TypeMapping.h"

#include <QElapsedTimer>
#include <QString>

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
  void Cancel() noexcept override;
  void ClearCancel() noexcept override;
  qint64 RowsFetched() const noexcept override;

 private:
  // Connects the handle, giving up as the time-out says; a failure is an EOleException.
  static void Connect(const OdbcHandle& connection, const LoginTimeout& timeout);
  // A new connection with the string and the time-out planned for it.
  OdbcHandle ConnectWith(const QString& connectionString);
  void RequireOpen() const;
  // Refuses a statement that the driver would cut short or never come back from.
  void CheckServed(const QString& commandText) const;
  std::shared_ptr<OdbcStatement> NewStatement(SQLHDBC connection);
  // The connection a statement runs on: the streaming one for the queries it serves, where the
  // driver's streaming option serves some queries only.
  SQLHDBC HandleFor(const QString& commandText);
  // Frees the statements still held by recordsets, so none outlives its connection.
  void FreeStatements() noexcept;

  int FLoginTimeoutSeconds;
  OdbcHandle FConnection;
  OdbcHandle FQueryConnection;
  bool FRanStatement = false;  // a statement ran on this connection since it opened
  StreamingPlan FQueries;  // the streaming that serves some queries on a connection of their own
  SQLUINTEGER FGetDataExtensions = 0;
  DriverFamily FFamily = DriverFamily::Unknown;
  // When a step of the statement under way (its probe, a connect, its execution) last waited for
  // a locked database: the steps that follow at once do not wait again, and the execution
  // reports the lock.
  QElapsedTimer FLockMet;
  bool LockMetJustNow() const;
  std::vector<std::weak_ptr<OdbcStatement>> FStatements;
  std::shared_ptr<StatementControl> FControl = std::make_shared<StatementControl>();
};

}  // namespace ado
