#include "platform/ado/OdbcRecordset.h"

#include "platform/ado/OdbcCheck.h"
#include "platform/ado/ResultFetcher.h"

#include <sqlext.h>

#include <utility>

namespace ado {

OdbcRecordset::OdbcRecordset(std::shared_ptr<OdbcStatement> statement,
                             std::vector<FieldInfo> fields, std::unique_ptr<ResultMemory> memory,
                             std::vector<ColumnStore> stores, bool open)
    : FStatement(std::move(statement)),
      FFields(std::move(fields)),
      FMemory(std::move(memory)),
      FStores(std::move(stores)),
      FOpen(open),
      FRecordCount(FStores.empty() ? 0 : FStores.front().RowCount()) {}

OdbcRecordset::~OdbcRecordset() {
  FStores.clear();  // before the memory they were counted in
}

std::unique_ptr<Recordset> OdbcRecordset::FromCurrentResult(
    std::shared_ptr<OdbcStatement> statement) {
  ResultFetcher fetcher(statement->Handle.Get(), statement->GetDataExtensions, *statement->Profile,
                        statement->Control.get());
  const SQLSMALLINT count = fetcher.ColumnCount();
  if (count == 0) {
    return std::unique_ptr<Recordset>(
        new OdbcRecordset(std::move(statement), {}, nullptr, {}, false));
  }
  std::vector<ColumnDescription> columns = fetcher.DescribeColumns(count);
  auto memory = std::make_unique<ResultMemory>();
  std::vector<ColumnStore> stores = RunCancellable(
      statement->Control.get(), nullptr, [&] { return fetcher.FetchAll(columns, *memory); });
  std::vector<FieldInfo> fields;
  fields.reserve(columns.size());
  for (const ColumnDescription& column : columns) fields.push_back(DescribeField(column));
  std::unique_ptr<OdbcRecordset> recordset(new OdbcRecordset(
      std::move(statement), std::move(fields), std::move(memory), std::move(stores), true));
  recordset->StepToNextResult();
  // Stopped while the next statement of a batch ran: the rows fetched so far are not the answer.
  if (recordset->FStatement->Control) recordset->FStatement->Control->CheckCancelled();
  return recordset;
}

// Every row is in memory now: the statement moves on to its next result at once, so a driver
// that streams ends its cursor (psqlODBC's holds a transaction open until then) while the rows
// are browsed.
void OdbcRecordset::StepToNextResult() {
  try {
    FNext = MoreResults(*FStatement) == SQL_NO_DATA ? NextResult::None : NextResult::Ready;
  } catch (...) {
    FNext = NextResult::Failed;
    FNextFailure = std::current_exception();
  }
}

SQLRETURN OdbcRecordset::MoreResults(OdbcStatement& statement) {
  // The next statement of a batch may run here: it can be stopped like the first one, where the
  // driver allows SQLCancel from another thread.
  SQLHSTMT handle = statement.Handle.Get();
  return RunCancellable(
      statement.Control.get(), statement.Profile->CancelClosesStatement ? nullptr : handle,
      [handle] { return OdbcCheck(SQLMoreResults(handle), SQL_HANDLE_STMT, handle); });
}

const FieldInfo& OdbcRecordset::Field(int index) const {
  if (index < 0 || index >= FieldCount())
    throw ProviderError(QStringLiteral("Item cannot be found in the collection"));
  return FFields[static_cast<size_t>(index)];
}

void OdbcRecordset::CheckCell(qint64 row, int column) const {
  if (!FOpen)
    throw ProviderError(QStringLiteral("Operation is not allowed when the object is closed"));
  if (column < 0 || column >= FieldCount())
    throw ProviderError(QStringLiteral("Item cannot be found in the collection"));
  if (row < 0 || row >= FRecordCount)
    throw ProviderError(
        QStringLiteral("Either BOF or EOF is True, or the current record has been deleted"));
}

Value OdbcRecordset::GetValue(qint64 row, int column) const {
  return ValueOf(Peek(row, column));
}

ValueRef OdbcRecordset::Peek(qint64 row, int column) const {
  CheckCell(row, column);
  return FStores[static_cast<size_t>(column)].Peek(row);
}

std::unique_ptr<Recordset> OdbcRecordset::NextRecordset() {
  std::shared_ptr<OdbcStatement> statement = std::move(FStatement);
  if (!statement || statement->Handle.IsNull())
    throw ProviderError(QStringLiteral("Operation is not allowed when the object is closed"));
  switch (std::exchange(FNext, NextResult::None)) {
    case NextResult::None:
      return nullptr;
    case NextResult::Failed:
      std::rethrow_exception(FNextFailure);
    case NextResult::Ready:
      return FromCurrentResult(std::move(statement));
    case NextResult::Unknown:
      break;
  }
  if (MoreResults(*statement) == SQL_NO_DATA) return nullptr;
  return FromCurrentResult(std::move(statement));
}

}  // namespace ado
