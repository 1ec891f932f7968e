#pragma once

#include "platform/ado/AdoInterfaces.h"
#include "platform/ado/ColumnStore.h"
#include "platform/ado/OdbcStatement.h"

#include <exception>
#include <memory>
#include <vector>

namespace ado {

// A client cursor over one result of an executed statement: every row is fetched when it is
// made, so its values stay readable after the connection has closed.
class OdbcRecordset : public Recordset {
 public:
  // The statement's current result: open with every row, or closed when it has no columns.
  static std::unique_ptr<Recordset> FromCurrentResult(std::shared_ptr<OdbcStatement> statement);

  ~OdbcRecordset() override;
  bool IsOpen() const override { return FOpen; }
  int FieldCount() const override { return static_cast<int>(FFields.size()); }
  const FieldInfo& Field(int index) const override;
  qint64 RecordCount() const override { return FOpen ? FRecordCount : -1; }
  Value GetValue(qint64 row, int column) const override;
  ValueRef Peek(qint64 row, int column) const override;
  std::unique_ptr<Recordset> NextRecordset() override;

 private:
  OdbcRecordset(std::shared_ptr<OdbcStatement> statement, std::vector<FieldInfo> fields,
                std::unique_ptr<ResultMemory> memory, std::vector<ColumnStore> stores, bool open);
  void CheckCell(qint64 row, int column) const;
  void StepToNextResult();
  // SQLMoreResults, which another thread may stop.
  static SQLRETURN MoreResults(OdbcStatement& statement);

  std::shared_ptr<OdbcStatement> FStatement;
  std::vector<FieldInfo> FFields;
  // Declared before the stores, which keep their bytes in its budget and spill file.
  std::unique_ptr<ResultMemory> FMemory;
  std::vector<ColumnStore> FStores;
  bool FOpen;
  // What stepping on after an open result found; closed results step when asked.
  enum class NextResult { Unknown, None, Ready, Failed } FNext = NextResult::Unknown;
  std::exception_ptr FNextFailure;
  qint64 FRecordCount = 0;
};

}  // namespace ado
