#pragma once

#include "platform/ado/AdoTypes.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace ado {

// The result of one statement, held as a client cursor: every row is in memory once it opens.
// A statement that yields no rows gives a closed recordset; NextRecordset walks a batch.
class Recordset {
 public:
  virtual ~Recordset() = default;

  // False for a statement that produced no rows (a data change, a definition).
  virtual bool IsOpen() const = 0;
  virtual int FieldCount() const = 0;
  virtual const FieldInfo& Field(int index) const = 0;  // 0-based
  // The number of rows, or -1 when it cannot be told.
  virtual qint64 RecordCount() const = 0;
  // The value at a 0-based row and column. Throws EOleException when the value cannot be had.
  virtual Value GetValue(qint64 row, int column) const = 0;
  // The same value without copying it; its text or bytes stay valid until the next Peek. By
  // default a copy made with GetValue.
  virtual ValueRef Peek(qint64 row, int column) const;
  // The next result of a batch, or null when there is none. Throws EOleException on failure.
  // The recordset this is called on is consumed: it is not used afterwards.
  virtual std::unique_ptr<Recordset> NextRecordset() = 0;

 private:
  mutable Value FPeeked;
};

// What a connection is opened for: the statement it will prepare or run, so that the road its
// rows take (a driver's streaming option or not) is chosen before connecting. Without a
// statement, any statement may follow and the plain road is taken.
struct Purpose {
  QString Statement;
  bool HasParameters = false;
};

// One connection to a database. Every failure is an EOleException with the driver's text.
class Connection {
 public:
  virtual ~Connection() = default;

  // Opens with the connection string, never prompting; one login. "FILE NAME=<path>" names a
  // data link file whose connection string is used instead.
  virtual void Open(const QString& connectionString, const Purpose& purpose) = 0;
  void Open(const QString& connectionString) { Open(connectionString, Purpose{}); }
  // Rolls back first when a transaction is in progress; closing a closed connection does nothing.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  virtual bool InTransaction() const = 0;

  // Prepares the statement and describes its parameters; unnamed ones are "Param1", "Param2"...
  virtual std::vector<ParameterInfo> DescribeParameters(const QString& commandText) = 0;
  // Executes the statement and fetches its first result into memory.
  virtual std::unique_ptr<Recordset> Execute(const QString& commandText,
                                             const std::vector<ParameterInfo>& parameters) = 0;

  // For a thread other than the one running Execute (or NextRecordset on its results): stops
  // that work, also while the server has not answered, with EAbort; so does every Execute and
  // NextRecordset started until ClearCancel. Where a driver cannot be interrupted safely, the
  // work stops when the statement's rows begin to arrive.
  virtual void Cancel() noexcept {}
  virtual void ClearCancel() noexcept {}
  // For any thread: the rows fetched since ClearCancel, while they are fetched.
  virtual qint64 RowsFetched() const noexcept { return 0; }
};

// Makes the connections the data access components use: the ODBC one, unless a test has
// installed a factory of its own.
using ConnectionFactory = std::function<std::unique_ptr<Connection>()>;
std::unique_ptr<Connection> CreateConnection();
// Installs a factory (tests); an empty function restores the ODBC one. Returns the previous one.
ConnectionFactory SetConnectionFactory(ConnectionFactory factory);

}  // namespace ado
