#pragma once

#include <QtGlobal>

#include <sql.h>
#include <sqlext.h>

#include <cstddef>
#include <iterator>

// Every fact of this layer about a column type, in two tables (ColumnTypes.cpp): one row per
// ODBC SQL type a driver can describe, and one per way of fetching a value. The field classes
// the column type codes become are the data layer's table (data/FieldTypes.cpp).
namespace ado {

// How a column's values are fetched and kept. The driver's profile says where the natural C type
// would change a value: SQLite gives every value as its own text, whatever the declared type
// (dynamic typing); psqlODBC writes dates it cannot hold as made-up ones.
enum class FetchKind {
  Int,       // SQL_C_SBIGINT
  UInt,      // SQL_C_UBIGINT
  Double,    // SQL_C_DOUBLE
  Bool,      // SQL_C_BIT
  Guid,      // SQL_C_GUID
  WideText,  // SQL_C_WCHAR: character data, dates and times, types without a mapping
  ByteText,  // SQL_C_CHAR: exact decimals (ASCII), and SQLite's text (UTF-8)
  Bytes,     // SQL_C_BINARY
};

// What a column type holds, as far as its description and its fetch depend on it.
enum class TypeClass {
  Text,      // bounded character data; also a type without a mapping
  LongText,  // unbounded character data
  Binary,
  Integer,
  Real,
  Decimal,
  Boolean,
  Date,
  Time,
  Timestamp,
  Guid,
};

enum class Sign { Any, Signed, Unsigned };

struct ColumnType {
  SQLSMALLINT SqlType;
  Sign Signedness;  // integers have a row per sign; other types any
  int Code;         // the column type code (DataTypeEnum)
  TypeClass Class;
  FetchKind Fetch;  // the natural way to fetch it, where the driver's profile says nothing else
  bool Fixed;       // every value has the same length (adFldFixed)
  qint64 Width;     // defined size of a fixed-size type in bytes; 0 for sized types
  // The largest column size read in a bound buffer; larger, or of size 0 ("unknown"), the
  // column is read in pieces. 0: always in pieces.
  SQLULEN MaxBound;
};

struct FetchType {
  FetchKind Kind;
  SQLSMALLINT CType;
  size_t FixedSize;     // bytes of a fixed-size value; 0 for variable length
  size_t BytesPerChar;  // bound bytes per unit of column size; 0 for fixed size
  size_t Extra;         // bound bytes beyond those, terminator included
  size_t Terminator;    // bytes the driver adds after a variable-length value
};

// The row of a SQL type; an unknown type gets the row of text without a mapping.
const ColumnType& ColumnTypeOf(SQLSMALLINT sqlType, bool isUnsigned);
// The first row of a column type code (the SQL type a parameter of that code is declared as);
// null for a code no SQL type gives.
const ColumnType* ColumnTypeOfCode(int code);

// In the order of FetchKind. A character column of n characters can need 2n UTF-16 units
// (characters beyond the basic plane); the driver's decimal text needs room for sign, point and
// exponent beyond the digits.
inline constexpr FetchType kFetchTypes[] = {
    {FetchKind::Int, SQL_C_SBIGINT, sizeof(SQLBIGINT), 0, 0, 0},
    {FetchKind::UInt, SQL_C_UBIGINT, sizeof(SQLUBIGINT), 0, 0, 0},
    {FetchKind::Double, SQL_C_DOUBLE, sizeof(SQLDOUBLE), 0, 0, 0},
    {FetchKind::Bool, SQL_C_BIT, 1, 0, 0, 0},
    {FetchKind::Guid, SQL_C_GUID, sizeof(SQLGUID), 0, 0, 0},
    {FetchKind::WideText, SQL_C_WCHAR, 0, 2 * sizeof(SQLWCHAR), sizeof(SQLWCHAR), sizeof(SQLWCHAR)},
    {FetchKind::ByteText, SQL_C_CHAR, 0, 1, 8, 1},
    {FetchKind::Bytes, SQL_C_BINARY, 0, 1, 0, 0},
};

constexpr bool FetchTypesInOrder() {
  for (size_t i = 0; i < std::size(kFetchTypes); ++i)
    if (static_cast<size_t>(kFetchTypes[i].Kind) != i) return false;
  return std::size(kFetchTypes) == static_cast<size_t>(FetchKind::Bytes) + 1;
}
static_assert(FetchTypesInOrder(), "kFetchTypes is indexed by FetchKind");

constexpr const FetchType& FetchTypeOf(FetchKind kind) {
  return kFetchTypes[static_cast<size_t>(kind)];
}

constexpr bool IsVariable(FetchKind kind) {
  return FetchTypeOf(kind).BytesPerChar != 0;
}

}  // namespace ado
