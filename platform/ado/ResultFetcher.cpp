#include "platform/ado/ResultFetcher.h"

#include "platform/ado/OdbcCheck.h"
#include "platform/ado/OdbcText.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>
#include <cstring>

namespace ado {

namespace {

// Aim for blocks of about this many bytes of bound buffers.
constexpr size_t kBlockBytes = 1 << 20;
SQLULEN gBlockRows = 1024;

SQLSMALLINT CTypeOf(StorageKind kind) {
  switch (kind) {
    case StorageKind::Int:
      return SQL_C_SBIGINT;
    case StorageKind::UInt:
      return SQL_C_UBIGINT;
    case StorageKind::Double:
      return SQL_C_DOUBLE;
    case StorageKind::Bool:
      return SQL_C_BIT;
    case StorageKind::Date:
      return SQL_C_TYPE_DATE;
    case StorageKind::Time:
      return SQL_C_TYPE_TIME;
    case StorageKind::Timestamp:
      return SQL_C_TYPE_TIMESTAMP;
    case StorageKind::Guid:
      return SQL_C_GUID;
    case StorageKind::Text:
      return SQL_C_WCHAR;
    case StorageKind::Decimal:
      return SQL_C_CHAR;
    case StorageKind::Bytes:
      return SQL_C_BINARY;
  }
  return SQL_C_WCHAR;
}

size_t FixedSizeOf(StorageKind kind) {
  switch (kind) {
    case StorageKind::Int:
    case StorageKind::UInt:
    case StorageKind::Double:
      return 8;
    case StorageKind::Bool:
      return 1;
    case StorageKind::Date:
      return sizeof(SQL_DATE_STRUCT);
    case StorageKind::Time:
      return sizeof(SQL_TIME_STRUCT);
    case StorageKind::Timestamp:
      return sizeof(SQL_TIMESTAMP_STRUCT);
    case StorageKind::Guid:
      return sizeof(SQLGUID);
    default:
      return 0;
  }
}

// Bytes of one bound element of a variable-length column, terminator included. A character
// column of n characters can need 2n UTF-16 units (characters beyond the basic plane).
size_t BufferSizeOf(const ColumnDescription& column, StorageKind kind) {
  const size_t size = std::max<size_t>(column.ColumnSize, 1);
  switch (kind) {
    case StorageKind::Text:
      return (2 * size + 1) * sizeof(SQLWCHAR);
    case StorageKind::Decimal:
      return size + 8;
    case StorageKind::Bytes:
      return size;
    default:
      return FixedSizeOf(kind);
  }
}

size_t TerminatorOf(StorageKind kind) {
  return kind == StorageKind::Text ? sizeof(SQLWCHAR) : kind == StorageKind::Decimal ? 1 : 0;
}

// Appends one fixed-size value from its C structure.
void AppendFixed(StorageKind kind, const char* p, ColumnStore& store) {
  switch (kind) {
    case StorageKind::Int: {
      SQLBIGINT v;
      std::memcpy(&v, p, sizeof v);
      store.AppendInt(v);
      break;
    }
    case StorageKind::UInt: {
      SQLUBIGINT v;
      std::memcpy(&v, p, sizeof v);
      store.AppendUInt(v);
      break;
    }
    case StorageKind::Double: {
      double v;
      std::memcpy(&v, p, sizeof v);
      store.AppendDouble(v);
      break;
    }
    case StorageKind::Bool:
      store.AppendInt(*p != 0 ? 1 : 0);
      break;
    case StorageKind::Date: {
      SQL_DATE_STRUCT d;
      std::memcpy(&d, p, sizeof d);
      store.AppendDouble(DaysSince1899(d.year, d.month, d.day, 0));
      break;
    }
    case StorageKind::Time: {
      SQL_TIME_STRUCT t;
      std::memcpy(&t, p, sizeof t);
      store.AppendDouble(DaysSince1899(1899, 12, 30, t.hour * 3600.0 + t.minute * 60.0 + t.second));
      break;
    }
    case StorageKind::Timestamp: {
      SQL_TIMESTAMP_STRUCT t;
      std::memcpy(&t, p, sizeof t);
      const double seconds =
          t.hour * 3600.0 + t.minute * 60.0 + t.second + static_cast<double>(t.fraction) / 1e9;
      store.AppendDouble(DaysSince1899(t.year, t.month, t.day, seconds));
      break;
    }
    case StorageKind::Guid:
      store.AppendBytes(p, sizeof(SQLGUID));
      store.FinishRow();
      break;
    default:
      break;
  }
}

// Appends a complete variable-length value of the given byte length.
void AppendVariable(StorageKind kind, const char* p, size_t bytes, ColumnStore& store) {
  if (kind == StorageKind::Text) {
    store.AppendUnits(reinterpret_cast<const char16_t*>(p), bytes / sizeof(SQLWCHAR));
  } else {
    store.AppendBytes(p, bytes);
  }
}

bool IsVariableKind(StorageKind kind) {
  return kind == StorageKind::Text || kind == StorageKind::Decimal || kind == StorageKind::Bytes;
}

// The bound arrays of one column in block fetch.
struct BoundColumn {
  StorageKind Kind;
  size_t ElementSize;
  std::vector<char> Data;
  std::vector<SQLLEN> Indicators;
};

}  // namespace

void ResultFetcher::SetBlockRows(SQLULEN rows) {
  gBlockRows = std::max<SQLULEN>(rows, 1);
}
SQLULEN ResultFetcher::BlockRows() {
  return gBlockRows;
}

void ResultFetcher::Check(SQLRETURN rc) const {
  OdbcCheck(rc, SQL_HANDLE_STMT, FStatement);
}

SQLSMALLINT ResultFetcher::ColumnCount() const {
  SQLSMALLINT count = 0;
  Check(SQLNumResultCols(FStatement, &count));
  return count;
}

std::vector<ColumnDescription> ResultFetcher::DescribeColumns(SQLSMALLINT count) const {
  std::vector<ColumnDescription> columns;
  columns.reserve(static_cast<size_t>(count));
  for (SQLSMALLINT i = 1; i <= count; ++i)
    columns.push_back(DescribeColumn(static_cast<SQLUSMALLINT>(i)));
  return columns;
}

ColumnDescription ResultFetcher::DescribeColumn(SQLUSMALLINT number) const {
  ColumnDescription column;
  SQLWCHAR name[512] = {};
  SQLSMALLINT nameLength = 0;
  Check(SQLDescribeColW(FStatement, number, name, static_cast<SQLSMALLINT>(std::size(name)),
                        &nameLength, &column.SqlType, &column.ColumnSize, &column.DecimalDigits,
                        &column.Nullable));
  column.Name = FromSqlWChar(
      name, std::min<qsizetype>(nameLength, static_cast<qsizetype>(std::size(name)) - 1));

  SQLWCHAR label[512] = {};
  SQLSMALLINT labelBytes = 0;
  if (SQL_SUCCEEDED(SQLColAttributeW(FStatement, number, SQL_DESC_LABEL, label, sizeof label,
                                     &labelBytes, nullptr))) {
    const qsizetype units =
        std::min<qsizetype>(labelBytes / static_cast<qsizetype>(sizeof(SQLWCHAR)),
                            static_cast<qsizetype>(std::size(label)) - 1);
    column.Label = FromSqlWChar(label, units);
  }
  // Attributes a driver does not know keep their neutral defaults.
  SQLLEN numeric = 0;
  if (SQL_SUCCEEDED(
          SQLColAttributeW(FStatement, number, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &numeric)))
    column.Unsigned = numeric == SQL_TRUE;
  numeric = SQL_ATTR_READWRITE_UNKNOWN;
  if (SQL_SUCCEEDED(
          SQLColAttributeW(FStatement, number, SQL_DESC_UPDATABLE, nullptr, 0, nullptr, &numeric)))
    column.Updatable = numeric;
  numeric = 0;
  if (SQL_SUCCEEDED(SQLColAttributeW(FStatement, number, SQL_DESC_AUTO_UNIQUE_VALUE, nullptr, 0,
                                     nullptr, &numeric)))
    column.AutoUnique = numeric == SQL_TRUE;
  return column;
}

std::vector<ColumnStore> ResultFetcher::FetchAll(const std::vector<ColumnDescription>& columns) {
  std::vector<ColumnStore> stores;
  stores.reserve(columns.size());
  for (const ColumnDescription& column : columns) stores.emplace_back(StorageOf(column));
  // Drivers that buffer the whole result know its size; reserving avoids regrowth.
  SQLLEN rows = -1;
  if (SQL_SUCCEEDED(SQLRowCount(FStatement, &rows)) && rows > 0 && rows < (1LL << 31))
    for (ColumnStore& store : stores) store.Reserve(rows);
  const bool anyLong = std::any_of(columns.begin(), columns.end(), IsLongColumn);
  // A value longer than its column's declared size (SQLite does not enforce sizes) is read
  // again with SQLGetData: from a block when the driver allows it, else from a one-row block
  // with the bound column, else no column is bound at all.
  const bool recoverable = (FGetDataExtensions & (SQL_GD_BLOCK | SQL_GD_BOUND)) != 0;
  const bool anyVariable = std::any_of(columns.begin(), columns.end(),
                                       [](const auto& c) { return IsVariableKind(StorageOf(c)); });
  if (anyLong || (anyVariable && !recoverable)) {
    FetchRows(columns, stores);
  } else {
    FetchBlocks(columns, stores);
  }
  return stores;
}

void ResultFetcher::FetchBlocks(const std::vector<ColumnDescription>& columns,
                                std::vector<ColumnStore>& stores) {
  std::vector<BoundColumn> bound;
  bound.reserve(columns.size());
  size_t rowBytes = 0;
  for (const ColumnDescription& column : columns) {
    const StorageKind kind = StorageOf(column);
    bound.push_back({kind, BufferSizeOf(column, kind), {}, {}});
    rowBytes += bound.back().ElementSize + sizeof(SQLLEN);
  }
  SQLULEN blockRows =
      std::clamp<SQLULEN>(kBlockBytes / std::max<size_t>(rowBytes, 1), 1, gBlockRows);
  const bool anyVariable = std::any_of(bound.begin(), bound.end(),
                                       [](const BoundColumn& b) { return IsVariableKind(b.Kind); });
  if (anyVariable && !(FGetDataExtensions & SQL_GD_BLOCK)) blockRows = 1;

  SQLULEN fetched = 0;
  Check(SQLSetStmtAttr(FStatement, SQL_ATTR_ROW_BIND_TYPE,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_BIND_BY_COLUMN)), 0));
  // A driver without block cursors refuses or lowers the size; read back what it took.
  if (SQL_SUCCEEDED(SQLSetStmtAttr(FStatement, SQL_ATTR_ROW_ARRAY_SIZE,
                                   reinterpret_cast<SQLPOINTER>(blockRows), 0))) {
    SQLULEN actual = 1;
    if (SQL_SUCCEEDED(SQLGetStmtAttr(FStatement, SQL_ATTR_ROW_ARRAY_SIZE, &actual, 0, nullptr)))
      blockRows = std::max<SQLULEN>(actual, 1);
  } else {
    blockRows = 1;
  }
  std::vector<SQLUSMALLINT> status(blockRows);
  Check(SQLSetStmtAttr(FStatement, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0));
  Check(SQLSetStmtAttr(FStatement, SQL_ATTR_ROW_STATUS_PTR, status.data(), 0));
  for (size_t c = 0; c < bound.size(); ++c) {
    BoundColumn& b = bound[c];
    b.Data.resize(b.ElementSize * blockRows);
    b.Indicators.resize(blockRows);
    Check(SQLBindCol(FStatement, static_cast<SQLUSMALLINT>(c + 1), CTypeOf(b.Kind), b.Data.data(),
                     static_cast<SQLLEN>(b.ElementSize), b.Indicators.data()));
  }

  // The bound buffers die with this frame: unbind on every path out.
  struct Unbind {
    SQLHSTMT s;
    ~Unbind() {
      SQLFreeStmt(s, SQL_UNBIND);
      SQLSetStmtAttr(s, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
      SQLSetStmtAttr(s, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
      SQLSetStmtAttr(s, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN{1}), 0);
    }
  } unbind{FStatement};

  for (;;) {
    fetched = 0;
    const SQLRETURN rc = OdbcCheck(SQLFetch(FStatement), SQL_HANDLE_STMT, FStatement);
    if (rc == SQL_NO_DATA) break;
    for (SQLULEN r = 0; r < fetched; ++r) {
      if (status[r] == SQL_ROW_NOROW) continue;
      if (status[r] == SQL_ROW_ERROR) throw OdbcError(SQL_ERROR, SQL_HANDLE_STMT, FStatement);
      for (size_t c = 0; c < bound.size(); ++c) {
        const BoundColumn& b = bound[c];
        const SQLLEN indicator = b.Indicators[r];
        const char* p = b.Data.data() + r * b.ElementSize;
        if (indicator == SQL_NULL_DATA) {
          stores[c].AppendNull();
        } else if (!IsVariableKind(b.Kind)) {
          AppendFixed(b.Kind, p, stores[c]);
        } else if (indicator == SQL_NO_TOTAL ||
                   static_cast<size_t>(indicator) > b.ElementSize - TerminatorOf(b.Kind)) {
          // The driver's column size was too small for this value (SQLite does not enforce
          // declared lengths): read the whole value again from its row.
          if (blockRows > 1)
            Check(SQLSetPos(FStatement, static_cast<SQLSETPOSIROW>(r + 1), SQL_POSITION,
                            SQL_LOCK_NO_CHANGE));
          GetPieces(static_cast<SQLUSMALLINT>(c + 1), CTypeOf(b.Kind), stores[c]);
        } else {
          AppendVariable(b.Kind, p, static_cast<size_t>(indicator), stores[c]);
          stores[c].FinishRow();
        }
      }
    }
  }
}

void ResultFetcher::FetchRows(const std::vector<ColumnDescription>& columns,
                              std::vector<ColumnStore>& stores) {
  for (;;) {
    const SQLRETURN rc = OdbcCheck(SQLFetch(FStatement), SQL_HANDLE_STMT, FStatement);
    if (rc == SQL_NO_DATA) break;
    for (size_t c = 0; c < columns.size(); ++c)
      GetValue(static_cast<SQLUSMALLINT>(c + 1), stores[c]);
  }
}

void ResultFetcher::GetValue(SQLUSMALLINT number, ColumnStore& store) {
  const StorageKind kind = store.Kind();
  if (IsVariableKind(kind)) {
    GetPieces(number, CTypeOf(kind), store);
    return;
  }
  alignas(8) char buffer[sizeof(SQL_TIMESTAMP_STRUCT) + sizeof(SQLGUID)] = {};
  SQLLEN indicator = 0;
  Check(SQLGetData(FStatement, number, CTypeOf(kind), buffer, sizeof buffer, &indicator));
  if (indicator == SQL_NULL_DATA) {
    store.AppendNull();
  } else {
    AppendFixed(kind, buffer, store);
  }
}

void ResultFetcher::GetPieces(SQLUSMALLINT number, SQLSMALLINT cType, ColumnStore& store) {
  const StorageKind kind = store.Kind();
  if (FPiece.empty()) FPiece.resize(64 * 1024);
  const size_t terminator = TerminatorOf(kind);
  const size_t room = FPiece.size() - terminator;
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = OdbcCheck(SQLGetData(FStatement, number, cType, FPiece.data(),
                                              static_cast<SQLLEN>(FPiece.size()), &indicator),
                                   SQL_HANDLE_STMT, FStatement);
    if (rc == SQL_NO_DATA) break;  // the previous piece was the last one
    if (indicator == SQL_NULL_DATA) {
      store.AppendNull();
      return;
    }
    const bool more = indicator == SQL_NO_TOTAL || static_cast<size_t>(indicator) > room;
    const size_t got = more ? room : static_cast<size_t>(indicator);
    AppendVariable(kind, FPiece.data(), kind == StorageKind::Text ? got & ~size_t{1} : got, store);
    if (!more) break;
  }
  store.FinishRow();
}

}  // namespace ado
