#pragma once

#include "platform/ado/AdoInterfaces.h"
#include "tests/support/ScopedValue.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// A scripted stand-in for the database layer, for tests of every folder.
namespace fakeado {

// A value that, when read, throws EOleException with this text (a cell the driver cannot give).
struct FailingCell {
  int Row = 0;
  int Column = 0;
  QString Message;
};

// The description of one result: columns, rows and what reading it does.
struct ResultData {
  bool Open = true;  // false: a statement without rows (a closed recordset)
  std::vector<ado::FieldInfo> Fields;
  std::vector<std::vector<ado::Value>> Rows;
  std::vector<FailingCell> FailingCells;
  bool UnknownRecordCount = false;  // RecordCount() gives -1
  // NextRecordset throws this text instead of giving the next result.
  std::optional<QString> NextFailure;
  std::vector<ResultData> Next;  // the following results of a batch, in order
  // Called with the row and column of every value read (the user acting meanwhile).
  std::function<void(qint64 row, int column)> OnRead;
};

// A recordset over a ResultData; NextRecordset gives its following results in order.
class FakeRecordset : public ado::Recordset {
 public:
  explicit FakeRecordset(ResultData resultData);
  bool IsOpen() const override { return FData.Open; }
  int FieldCount() const override;
  const ado::FieldInfo& Field(int index) const override;
  qint64 RecordCount() const override;
  ado::Value GetValue(qint64 row, int column) const override;
  // Texts as the column store holds them: UTF-8, or UTF-16 units where they are no valid UTF-16.
  ado::ValueRef Peek(qint64 row, int column) const override;
  std::unique_ptr<ado::Recordset> NextRecordset() override;

 private:
  ResultData FData;
  mutable ado::Value FPeeked;
  mutable QByteArray FPeekedUtf8;
};

// Field and value builders for short test tables, in the kinds and texts the database layer
// delivers: dates, times, money and decimals as the driver's text.
ado::FieldInfo Field(const QString& name, int type, qint64 definedSize = 0, int attributes = 0);
ado::Value Null();
ado::Value Int(qint64 v);
ado::Value UInt(quint64 v);
ado::Value Dbl(double v);
ado::Value Bool(bool v);
ado::Value Text(const QString& v);
ado::Value Bytes(const QByteArray& v);
// "YYYY-MM-DD HH:MM:SS[.fff]" of days since 30 December 1899 with the time of day as fraction;
// only the date at midnight, only the time on that first day.
ado::Value Date(double daysSince1899);
// A fixed-point number with four decimals: "12.5000".
ado::Value Currency(qint64 tenThousandths);
ado::Value Guid(const QString& braced);
// "-12.345" style text, as the driver gives an exact decimal.
ado::Value Decimal(const QString& text);
// The sign, digits and scale of such a text, unchecked.
ado::DecimalValue DecimalDigits(const QString& text);
// An open result with these columns and rows.
ResultData Table(std::vector<ado::FieldInfo> fields,
                 std::vector<std::vector<ado::Value>> rows = {});
// A statement that yields no rows.
ResultData NoRows();

// What every fake connection made by one factory shares: the script and the log.
struct Script {
  // Opening fails with this text (EOleException), when set.
  std::optional<QString> OpenFailure;
  // Closing an open connection fails with this text, when set (it is closed all the same).
  std::optional<QString> CloseFailure;
  // Execute fails with this text, when set.
  std::optional<QString> ExecuteFailure;
  // DescribeParameters fails with this text, when set.
  std::optional<QString> DescribeFailure;
  // The results Execute gives, in order; when empty, Execute gives NoRows().
  std::deque<ResultData> Results;
  // The parameter lists DescribeParameters gives, in order; when empty, none.
  std::deque<std::vector<ado::ParameterInfo>> ParameterLists;
  bool InTransaction = false;
  // Called while Execute runs, as the driver would block (the user acting meanwhile); on the
  // window's worker thread when a window runs the statement.
  std::function<void()> DuringExecute;
  // Cancel was called since ClearCancel: Execute then ends with EAbort after DuringExecute.
  std::atomic<bool> Cancelled{false};

  // The log.
  int Created = 0;  // connections made
  int OpenCalls = 0;
  int CloseCalls = 0;      // every Close call, also on a closed connection
  int OpenNow = 0;         // connections open at this moment
  QStringList OpenedWith;  // connection strings handed to Open
  QStringList Executed;    // command texts executed
  QStringList Described;   // command texts whose parameters were described
  std::vector<std::vector<ado::ParameterInfo>> ExecutedParameters;
};

class FakeConnection : public ado::Connection {
 public:
  explicit FakeConnection(std::shared_ptr<Script> script);
  ~FakeConnection() override;
  using ado::Connection::Open;
  void Open(const QString& connectionString, const ado::Purpose& purpose) override;
  void Close() override;
  bool IsOpen() const override { return FOpen; }
  bool InTransaction() const override;
  std::vector<ado::ParameterInfo> DescribeParameters(const QString& commandText) override;
  std::unique_ptr<ado::Recordset> Execute(
      const QString& commandText, const std::vector<ado::ParameterInfo>& parameters) override;
  void Cancel() noexcept override { FScript->Cancelled = true; }
  void ClearCancel() noexcept override { FScript->Cancelled = false; }

 private:
  void CheckOpen() const;
  std::shared_ptr<Script> FScript;
  bool FOpen = false;
};

// Installs a factory of fake connections for its lifetime and restores the previous factory.
class ScopedFakeAdo {
 public:
  ScopedFakeAdo();
  ScopedFakeAdo(const ScopedFakeAdo&) = delete;
  ScopedFakeAdo& operator=(const ScopedFakeAdo&) = delete;

  Script& script() { return *FScript; }
  Script* operator->() { return FScript.get(); }

 private:
  std::shared_ptr<Script> FScript;
  ScopedRestore FFactory;
};

}  // namespace fakeado
