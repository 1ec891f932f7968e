#pragma once

#include "platform/ado/AdoTypes.h"
#include "platform/ado/ColumnStore.h"
#include "platform/ado/TypeMapping.h"

#include <sql.h>

#include <vector>

namespace ado {

// Reads the current result of an executed statement: its column descriptions, then every row,
// into column stores. Block fetch (column-wise arrays) when every column fits a bound buffer,
// else row by row with long data read in pieces.
class ResultFetcher {
 public:
  // getDataExtensions: the driver's SQL_GETDATA_EXTENSIONS bits.
  ResultFetcher(SQLHSTMT statement, SQLUINTEGER getDataExtensions)
      : FStatement(statement), FGetDataExtensions(getDataExtensions) {}

  // The number of columns of the current result; 0 for a statement that yields no rows.
  SQLSMALLINT ColumnCount() const;
  std::vector<ColumnDescription> DescribeColumns(SQLSMALLINT count) const;
  // Fetches to the end of the current result.
  std::vector<ColumnStore> FetchAll(const std::vector<ColumnDescription>& columns);

  // Rows fetched per block; settable so tests can make results span many blocks.
  static void SetBlockRows(SQLULEN rows);
  static SQLULEN BlockRows();

 private:
  ColumnDescription DescribeColumn(SQLUSMALLINT number) const;
  void FetchBlocks(const std::vector<ColumnDescription>& columns, std::vector<ColumnStore>& stores);
  void FetchRows(const std::vector<ColumnDescription>& columns, std::vector<ColumnStore>& stores);
  // Reads one value with SQLGetData (in pieces for variable-length data) into the store.
  void GetValue(SQLUSMALLINT number, ColumnStore& store);
  void GetPieces(SQLUSMALLINT number, SQLSMALLINT cType, ColumnStore& store);
  void Check(SQLRETURN rc) const;

  SQLHSTMT FStatement;
  SQLUINTEGER FGetDataExtensions;
  std::vector<char> FPiece;
};

}  // namespace ado
