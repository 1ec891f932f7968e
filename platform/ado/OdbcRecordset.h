#pragma once

#include "platform/ado/AdoInterfaces.h"
#include "platform/ado/ColumnStore.h"
#include "platform/ado/OdbcStatement.h"

#include <memory>
#include <vector>

namespace ado {

// A client cursor over one result of an executed statement: every row is fetched when it is
// made, so its values stay readable after the connection has closed.
class OdbcRecordset : public Recordset {
 public:
  // The statement's current result: open with every row, or closed when it has no columns.
  static std::unique_ptr<Recordset> FromCurrentResult(std::shared_ptr<OdbcStatement> statement);

  bool IsOpen() const override { return FOpen; }
  int FieldCount() const override { return static_cast<int>(FFields.size()); }
  const FieldInfo& Field(int index) const override;
  qint64 RecordCount() const override { return FOpen ? FRecordCount : -1; }
  Value GetValue(qint64 row, int column) const override;
  std::unique_ptr<Recordset> NextRecordset() override;

 private:
  OdbcRecordset(std::shared_ptr<OdbcStatement> statement, std::vector<FieldInfo> fields,
                std::vector<ColumnStore> stores, bool open);

  std::shared_ptr<OdbcStatement> FStatement;
  std::vector<FieldInfo> FFields;
  std::vector<ColumnStore> FStores;
  bool FOpen;
  qint64 FRecordCount = 0;
};

}  // namespace ado
