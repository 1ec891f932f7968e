#pragma once

#include "platform/ado/ColumnStore.h"
#include "platform/ado/StatementControl.h"
#include "platform/ado/TypeMapping.h"

#include <sql.h>

#include <string>
#include <vector>

namespace ado {

// Reads the current result of an executed statement: its column descriptions, then every row,
// into column stores. Block fetch (column-wise arrays) when every column fits a bound buffer,
// else row by row with SQLGetData, long values in as few pieces as the driver allows.
class ResultFetcher {
 public:
  // getDataExtensions: the driver's SQL_GETDATA_EXTENSIONS bits.
  // control, when given, counts the rows and stops the fetch between blocks.
  ResultFetcher(SQLHSTMT statement, SQLUINTEGER getDataExtensions, const DriverProfile& profile,
                StatementControl* control = nullptr)
      : FStatement(statement),
        FGetDataExtensions(getDataExtensions),
        FProfile(profile),
        FControl(control) {}

  // The number of columns of the current result; 0 for a statement that yields no rows.
  SQLSMALLINT ColumnCount() const;
  std::vector<ColumnDescription> DescribeColumns(SQLSMALLINT count) const;
  // Fetches to the end of the current result. A column whose type only its values tell
  // (SQLite expressions) gets the type of its first value in columns.
  std::vector<ColumnStore> FetchAll(std::vector<ColumnDescription>& columns, ResultMemory& memory);

  // Rows fetched per block; settable so tests can make results span many blocks.
  static void SetBlockRows(SQLULEN rows);
  static SQLULEN BlockRows();

 private:
  ColumnDescription DescribeColumn(SQLUSMALLINT number) const;
  void FetchBlocks(const std::vector<FetchPlan>& plans,
                   const std::vector<ColumnDescription>& columns, std::vector<ColumnStore>& stores);
  void FetchRows(const std::vector<FetchPlan>& plans, std::vector<ColumnStore>& stores);
  // A date text of the driver's that may stand for infinity, checked at its row.
  void AppendDate(SQLUSMALLINT number, SQLSETPOSIROW row, const FetchPlan& plan, const char* text,
                  size_t bytes, ColumnStore& store);
  // Reads one value with SQLGetData into the store.
  void GetValue(SQLUSMALLINT number, const FetchPlan& plan, ColumnStore& store);
  void Check(SQLRETURN rc) const;

  SQLHSTMT FStatement;
  SQLUINTEGER FGetDataExtensions;
  const DriverProfile& FProfile;
  StatementControl* FControl;
  std::vector<char> FPiece;
  std::vector<size_t> FPieceHints;  // per column: the first piece to ask for
};

// Stores one value that arrived in the plan's C type (bytes: its length without terminator).
void AppendFetched(const FetchPlan& plan, const char* data, size_t bytes, ColumnStore& store);

}  // namespace ado
