#pragma once

#include "platform/ado/AdoInterfaces.h"
#include "platform/ado/OdbcHandle.h"
#include "platform/ado/OdbcStatement.h"
#include "platform/ado/TypeMapping.h"

#include <QString>

#include <memory>
#include <vector>

namespace ado {

// A connection through the ODBC driver manager.
class OdbcConnection : public Connection {
 public:
  OdbcConnection() = default;
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
  void RequireOpen() const;
  std::shared_ptr<OdbcStatement> NewStatement(SQLHDBC connection);
  // The connection a statement runs on: the streaming one for plain queries where the driver's
  // streaming option serves queries only.
  SQLHDBC HandleFor(const QString& commandText);
  // Frees the statements still held by recordsets, so none outlives its connection.
  void FreeStatements() noexcept;

  OdbcHandle FConnection;
  OdbcHandle FQueryConnection;
  QString FQueryConnectionString;
  SQLUINTEGER FGetDataExtensions = 0;
  DriverFamily FFamily = DriverFamily::Generic;
  std::vector<std::weak_ptr<OdbcStatement>> FStatements;
};

}  // namespace ado
