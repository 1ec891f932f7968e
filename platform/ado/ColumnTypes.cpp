#include "platform/ado/ColumnTypes.h"

#include "platform/ado/AdoTypes.h"

#include <sqlucode.h>

#include <limits>

namespace ado {

namespace {

// Bound buffers are used up to these sizes; larger or unbounded columns are read in pieces.
constexpr SQLULEN kMaxBoundChars = 4000;
constexpr SQLULEN kMaxBoundBytes = 8000;
constexpr SQLULEN kAnySize = std::numeric_limits<SQLULEN>::max();

using C = TypeClass;
using F = FetchKind;
using S = Sign;

// Where two SQL types give one code, the first row is the one a parameter of that code is
// declared as. Dates and times are fetched as text, since the date structures cannot hold every
// value a database has (zero dates, times beyond 24 hours, infinities); exact decimals as ASCII
// text, which keeps every digit.
constexpr ColumnType kColumnTypes[] = {
    // SQL type, sign, code, class, fetch, fixed, width, largest bound size
    {SQL_CHAR, S::Any, adChar, C::Text, F::WideText, true, 0, kMaxBoundChars},
    {SQL_VARCHAR, S::Any, adVarChar, C::Text, F::WideText, false, 0, kMaxBoundChars},
    // Unbounded text is the ordinary string of many databases.
    {SQL_LONGVARCHAR, S::Any, adVarChar, C::LongText, F::WideText, false, 0, 0},
    {SQL_WCHAR, S::Any, adWChar, C::Text, F::WideText, true, 0, kMaxBoundChars},
    {SQL_WVARCHAR, S::Any, adVarWChar, C::Text, F::WideText, false, 0, kMaxBoundChars},
    {SQL_WLONGVARCHAR, S::Any, adVarWChar, C::LongText, F::WideText, false, 0, 0},
    {SQL_BINARY, S::Any, adBinary, C::Binary, F::Bytes, true, 0, kMaxBoundBytes},
    {SQL_VARBINARY, S::Any, adVarBinary, C::Binary, F::Bytes, false, 0, kMaxBoundBytes},
    {SQL_LONGVARBINARY, S::Any, adLongVarBinary, C::Binary, F::Bytes, false, 0, 0},
    {SQL_BIT, S::Any, adBoolean, C::Boolean, F::Bool, true, 2, kAnySize},
    {SQL_TINYINT, S::Signed, adTinyInt, C::Integer, F::Int, true, 1, kAnySize},
    {SQL_TINYINT, S::Unsigned, adUnsignedTinyInt, C::Integer, F::Int, true, 1, kAnySize},
    {SQL_SMALLINT, S::Signed, adSmallInt, C::Integer, F::Int, true, 2, kAnySize},
    {SQL_SMALLINT, S::Unsigned, adUnsignedSmallInt, C::Integer, F::Int, true, 2, kAnySize},
    {SQL_INTEGER, S::Signed, adInteger, C::Integer, F::Int, true, 4, kAnySize},
    {SQL_INTEGER, S::Unsigned, adUnsignedInt, C::Integer, F::Int, true, 4, kAnySize},
    {SQL_BIGINT, S::Signed, adBigInt, C::Integer, F::Int, true, 8, kAnySize},
    {SQL_BIGINT, S::Unsigned, adUnsignedBigInt, C::Integer, F::UInt, true, 8, kAnySize},
    {SQL_REAL, S::Any, adSingle, C::Real, F::Double, true, 4, kAnySize},
    {SQL_DOUBLE, S::Any, adDouble, C::Real, F::Double, true, 8, kAnySize},
    {SQL_FLOAT, S::Any, adDouble, C::Real, F::Double, true, 8, kAnySize},
    {SQL_NUMERIC, S::Any, adNumeric, C::Decimal, F::ByteText, true, 19, kMaxBoundChars},
    {SQL_DECIMAL, S::Any, adNumeric, C::Decimal, F::ByteText, true, 19, kMaxBoundChars},
    {SQL_TYPE_DATE, S::Any, adDBDate, C::Date, F::WideText, true, 6, kAnySize},
    {SQL_DATE, S::Any, adDBDate, C::Date, F::WideText, true, 6, kAnySize},
    {SQL_TYPE_TIME, S::Any, adDBTime, C::Time, F::WideText, true, 6, kAnySize},
    {SQL_TIME, S::Any, adDBTime, C::Time, F::WideText, true, 6, kAnySize},
    {SQL_TYPE_TIMESTAMP, S::Any, adDBTimeStamp, C::Timestamp, F::WideText, true, 16, kAnySize},
    {SQL_TIMESTAMP, S::Any, adDBTimeStamp, C::Timestamp, F::WideText, true, 16, kAnySize},
    {SQL_GUID, S::Any, adGUID, C::Guid, F::Guid, true, 16, kAnySize},
};

// A type without a row is read as text; its size cannot be trusted, so it is read in pieces.
constexpr ColumnType kUnmapped = {SQL_UNKNOWN_TYPE, S::Any, adVarWChar, C::Text,
                                  F::WideText,      false,  0,          0};

// A type's rows agree on what belongs to its code, and fixed widths go with fixed types.
constexpr bool CodesAgree() {
  for (const ColumnType& a : kColumnTypes) {
    if (a.Width > 0 && !a.Fixed) return false;
    for (const ColumnType& b : kColumnTypes)
      if (a.Code == b.Code && (a.Width != b.Width || a.Fixed != b.Fixed)) return false;
  }
  return true;
}
static_assert(CodesAgree(), "rows of one column type code disagree");

constexpr bool Matches(const ColumnType& row, SQLSMALLINT sqlType, bool isUnsigned) {
  return row.SqlType == sqlType &&
         (row.Signedness == Sign::Any || (row.Signedness == Sign::Unsigned) == isUnsigned);
}

}  // namespace

const ColumnType& ColumnTypeOf(SQLSMALLINT sqlType, bool isUnsigned) {
  for (const ColumnType& row : kColumnTypes)
    if (Matches(row, sqlType, isUnsigned)) return row;
  return kUnmapped;
}

const ColumnType* ColumnTypeOfCode(int code) {
  for (const ColumnType& row : kColumnTypes)
    if (row.Code == code) return &row;
  return nullptr;
}

}  // namespace ado
