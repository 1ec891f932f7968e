#pragma once

#include "base/Exceptions.h"
#include "platform/ado/AdoInterfaces.h"
#include "platform/ado/ConnectionTarget.h"
#include "platform/ado/OdbcHandle.h"
#include "platform/ado/OdbcStatement.h"
#include "platform/ado/StatementControl.h"
#include "platform/ado/TypeMapping.h"

#include <QElapsedTimer>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace ado {

// A connection through the ODBC driver manager: one login, on the road that its purpose's
// statement takes (ConnectionTarget).
class OdbcConnection : public Connection {
 public:
  // Connecting gives up after loginTimeoutSeconds unless the connection string sets its own.
  explicit OdbcConnection(int loginTimeoutSeconds = kDefaultLoginTimeoutSeconds)
      : FLoginTimeoutSeconds(loginTimeoutSeconds) {}
  ~OdbcConnection() override;
  OdbcConnection(const OdbcConnection&) = delete;
  OdbcConnection& operator=(const OdbcConnection&) = delete;

  using Connection::Open;
  void Open(const QString& connectionString, const Purpose& purpose) override;
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
  // Connects a new handle on the road; a failure is an EOleException.
  OdbcHandle Connect(const Road& road);
  // The profile that reads values: the one of the database the driver reports, where it knows
  // one, else the one the string named.
  void CheckProfile();
  void RequireOpen() const;
  // Refuses a statement that the driver would cut short or never come back from.
  void CheckServed(const QString& commandText) const;
  // The text the driver is given for the statement (SetStatement.h).
  QString SentText(const QString& commandText) const;
  std::shared_ptr<OdbcStatement> NewStatement(SQLHDBC connection);
  // The connection a statement runs on. A statement the streaming road would show otherwise
  // runs on the plain one, connected for it when the connection was opened for another.
  SQLHDBC HandleFor(const QString& commandText, bool hasParameters);
  // Whether the streaming road describes a column of the statement otherwise than the plain.
  bool StreamingDescribesOtherwise(const QString& commandText);
  // The error of a statement that the streaming road's cursor failed to parse, in the words the
  // server has for the statement alone.
  EOleException Reparsed(const QString& commandText, EOleException error);
  // Frees the statements still held by recordsets, so none outlives its connection.
  void FreeStatements() noexcept;

  int FLoginTimeoutSeconds;
  std::optional<ConnectionTarget> FTarget;
  Road FRoad;
  OdbcHandle FConnection;
  OdbcHandle FPlainConnection;  // for statements the streaming road does not serve
  bool FRanStatement = false;   // a statement ran on this connection since it opened
  SQLUINTEGER FGetDataExtensions = 0;
  const DriverProfile* FProfile = &ProfileOf(DriverFamily::Unknown);
  // When a step of the statement under way (its probe, a connect, its execution) last waited for
  // a locked database: the steps that follow at once do not wait again, and the execution
  // reports the lock.
  QElapsedTimer FLockMet;
  bool LockMetJustNow() const;
  std::vector<std::weak_ptr<OdbcStatement>> FStatements;
  std::shared_ptr<StatementControl> FControl = std::make_shared<StatementControl>();
};

}  // namespace ado
