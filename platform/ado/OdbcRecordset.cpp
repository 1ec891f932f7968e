#include "platform/ado/OdbcRecordset.h"

#include "platform/ado/OdbcCheck.h"
#include "platform/ado/ResultFetcher.h"

#include <sqlext.h>

namespace ado {

OdbcRecordset::OdbcRecordset(std::shared_ptr<OdbcStatement> statement,
                             std::vector<FieldInfo> fields, std::vector<ColumnStore> stores,
                             bool open)
    : FStatement(std::move(statement)),
      FFields(std::move(fields)),
      FStores(std::move(stores)),
      FOpen(open),
      FRecordCount(FStores.empty() ? 0 : FStores.front().RowCount()) {}

std::unique_ptr<Recordset> OdbcRecordset::FromCurrentResult(
    std::shared_ptr<OdbcStatement> statement) {
  ResultFetcher fetcher(statement->Handle.Get(), statement->GetDataExtensions);
  const SQLSMALLINT count = fetcher.ColumnCount();
  if (count == 0) {
    return std::unique_ptr<Recordset>(new OdbcRecordset(std::move(statement), {}, {}, false));
  }
  const std::vector<ColumnDescription> columns = fetcher.DescribeColumns(count);
  std::vector<FieldInfo> fields;
  fields.reserve(columns.size());
  for (const ColumnDescription& column : columns) fields.push_back(DescribeField(column));
  std::vector<ColumnStore> stores = fetcher.FetchAll(columns);
  return std::unique_ptr<Recordset>(
      new OdbcRecordset(std::move(statement), std::move(fields), std::move(stores), true));
}

const FieldInfo& OdbcRecordset::Field(int index) const {
  if (index < 0 || index >= FieldCount())
    throw ProviderError(QStringLiteral("Item cannot be found in the collection"));
  return FFields[static_cast<size_t>(index)];
}

Value OdbcRecordset::GetValue(qint64 row, int column) const {
  if (!FOpen)
    throw ProviderError(QStringLiteral("Operation is not allowed when the object is closed"));
  if (column < 0 || column >= FieldCount())
    throw ProviderError(QStringLiteral("Item cannot be found in the collection"));
  if (row < 0 || row >= FRecordCount)
    throw ProviderError(
        QStringLiteral("Either BOF or EOF is True, or the current record has been deleted"));
  return FStores[static_cast<size_t>(column)].ValueAt(row);
}

std::unique_ptr<Recordset> OdbcRecordset::NextRecordset() {
  std::shared_ptr<OdbcStatement> statement = std::move(FStatement);
  if (!statement || statement->Handle.IsNull())
    throw ProviderError(QStringLiteral("Operation is not allowed when the object is closed"));
  SQLHSTMT handle = statement->Handle.Get();
  const SQLRETURN rc = OdbcCheck(SQLMoreResults(handle), SQL_HANDLE_STMT, handle);
  if (rc == SQL_NO_DATA) return nullptr;
  return FromCurrentResult(std::move(statement));
}

}  // namespace ado
