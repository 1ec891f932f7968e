#include "platform/ado/TypeMapping.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <limits>

namespace ado {

// Bound buffers are used up to these sizes; larger or unbounded columns are read in pieces.
constexpr SQLULEN kMaxBoundChars = 4000;
constexpr SQLULEN kMaxBoundBytes = 8000;
// What the classic components report where precision or scale does not apply.
constexpr int kNotApplicable = 255;

int AdoTypeOf(SQLSMALLINT sqlType, bool isUnsigned) {
  switch (sqlType) {
    case SQL_CHAR:
      return adChar;
    case SQL_VARCHAR:
      return adVarChar;
    case SQL_LONGVARCHAR:
      return adLongVarChar;
    case SQL_WCHAR:
      return adWChar;
    case SQL_WVARCHAR:
      return adVarWChar;
    case SQL_WLONGVARCHAR:
      return adLongVarWChar;
    case SQL_BINARY:
      return adBinary;
    case SQL_VARBINARY:
      return adVarBinary;
    case SQL_LONGVARBINARY:
      return adLongVarBinary;
    case SQL_BIT:
      return adBoolean;
    case SQL_TINYINT:
      return isUnsigned ? adUnsignedTinyInt : adTinyInt;
    case SQL_SMALLINT:
      return isUnsigned ? adUnsignedSmallInt : adSmallInt;
    case SQL_INTEGER:
      return isUnsigned ? adUnsignedInt : adInteger;
    case SQL_BIGINT:
      return isUnsigned ? adUnsignedBigInt : adBigInt;
    case SQL_REAL:
      return adSingle;
    case SQL_FLOAT:
    case SQL_DOUBLE:
      return adDouble;
    case SQL_NUMERIC:
    case SQL_DECIMAL:
      return adNumeric;
    case SQL_TYPE_DATE:
    case SQL_DATE:
      return adDBDate;
    case SQL_TYPE_TIME:
    case SQL_TIME:
      return adDBTime;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
      return adDBTimeStamp;
    case SQL_GUID:
      return adGUID;
    default:
      return adVarWChar;
  }
}

SQLSMALLINT SqlTypeOf(int adoType) {
  switch (adoType) {
    case adChar:
      return SQL_CHAR;
    case adVarChar:
      return SQL_VARCHAR;
    case adLongVarChar:
      return SQL_LONGVARCHAR;
    case adWChar:
      return SQL_WCHAR;
    case adLongVarWChar:
      return SQL_WLONGVARCHAR;
    case adBinary:
      return SQL_BINARY;
    case adVarBinary:
      return SQL_VARBINARY;
    case adLongVarBinary:
      return SQL_LONGVARBINARY;
    case adBoolean:
      return SQL_BIT;
    case adTinyInt:
    case adUnsignedTinyInt:
      return SQL_TINYINT;
    case adSmallInt:
    case adUnsignedSmallInt:
      return SQL_SMALLINT;
    case adInteger:
    case adUnsignedInt:
      return SQL_INTEGER;
    case adBigInt:
    case adUnsignedBigInt:
      return SQL_BIGINT;
    case adSingle:
      return SQL_REAL;
    case adDouble:
      return SQL_DOUBLE;
    case adNumeric:
    case adDecimal:
      return SQL_NUMERIC;
    case adDBDate:
      return SQL_TYPE_DATE;
    case adDBTime:
      return SQL_TYPE_TIME;
    case adDBTimeStamp:
      return SQL_TYPE_TIMESTAMP;
    case adGUID:
      return SQL_GUID;
    default:
      return SQL_WVARCHAR;
  }
}

StorageKind StorageOf(const ColumnDescription& column) {
  switch (AdoTypeOf(column.SqlType, column.Unsigned)) {
    case adTinyInt:
    case adSmallInt:
    case adInteger:
    case adBigInt:
    case adUnsignedTinyInt:
    case adUnsignedSmallInt:
    case adUnsignedInt:
      return StorageKind::Int;
    case adUnsignedBigInt:
      return StorageKind::UInt;
    case adSingle:
    case adDouble:
      return StorageKind::Double;
    case adBoolean:
      return StorageKind::Bool;
    case adDBDate:
      return StorageKind::Date;
    case adDBTime:
      return StorageKind::Time;
    case adDBTimeStamp:
      return StorageKind::Timestamp;
    case adGUID:
      return StorageKind::Guid;
    case adNumeric:
      return StorageKind::Decimal;
    case adBinary:
    case adVarBinary:
    case adLongVarBinary:
      return StorageKind::Bytes;
    default:
      return StorageKind::Text;
  }
}

static bool IsKnownType(SQLSMALLINT sqlType) {
  return AdoTypeOf(sqlType, false) != adVarWChar || sqlType == SQL_WVARCHAR;
}

bool IsLongColumn(const ColumnDescription& column) {
  switch (column.SqlType) {
    case SQL_LONGVARCHAR:
    case SQL_WLONGVARCHAR:
    case SQL_LONGVARBINARY:
      return true;
    default:
      break;
  }
  // A type read as text for want of a mapping has no size that can be trusted.
  if (!IsKnownType(column.SqlType)) return true;
  switch (StorageOf(column)) {
    case StorageKind::Text:
      return column.ColumnSize == 0 || column.ColumnSize > kMaxBoundChars;
    case StorageKind::Bytes:
      return column.ColumnSize == 0 || column.ColumnSize > kMaxBoundBytes;
    // Exact decimals arrive as text; a huge precision is read in pieces.
    case StorageKind::Decimal:
      return column.ColumnSize == 0 || column.ColumnSize > kMaxBoundChars;
    default:
      return false;
  }
}

static bool IsFixedLength(int type) {
  switch (type) {
    case adChar:
    case adWChar:
    case adBinary:
    case adBoolean:
    case adTinyInt:
    case adSmallInt:
    case adInteger:
    case adBigInt:
    case adUnsignedTinyInt:
    case adUnsignedSmallInt:
    case adUnsignedInt:
    case adUnsignedBigInt:
    case adSingle:
    case adDouble:
    case adNumeric:
    case adDBDate:
    case adDBTime:
    case adDBTimeStamp:
    case adGUID:
      return true;
    default:
      return false;
  }
}

// Byte widths of the fixed-size types, as the classic components report their defined size.
static qint64 FixedWidth(int type) {
  switch (type) {
    case adTinyInt:
    case adUnsignedTinyInt:
      return 1;
    case adSmallInt:
    case adUnsignedSmallInt:
    case adBoolean:
      return 2;
    case adInteger:
    case adUnsignedInt:
    case adSingle:
      return 4;
    case adBigInt:
    case adUnsignedBigInt:
    case adDouble:
      return 8;
    case adNumeric:
      return 19;
    case adDBDate:
    case adDBTime:
      return 6;
    case adDBTimeStamp:
    case adGUID:
      return 16;
    default:
      return 0;
  }
}

static int ClampToInt(SQLULEN value) {
  return value > static_cast<SQLULEN>(std::numeric_limits<int>::max())
             ? std::numeric_limits<int>::max()
             : static_cast<int>(value);
}

FieldInfo DescribeField(const ColumnDescription& column) {
  FieldInfo info;
  info.Name = column.Label.isEmpty() ? column.Name : column.Label;
  info.Type = AdoTypeOf(column.SqlType, column.Unsigned);
  const StorageKind storage = StorageOf(column);
  const bool sized = storage == StorageKind::Text || storage == StorageKind::Bytes;
  info.DefinedSize = sized ? static_cast<qint64>(qMin<SQLULEN>(column.ColumnSize, 0x7fffffff))
                           : FixedWidth(info.Type);
  if (info.Type == adNumeric) {
    info.Precision = ClampToInt(column.ColumnSize);
    info.NumericScale = column.DecimalDigits;
  } else if (sized || storage == StorageKind::Guid || storage == StorageKind::Bool) {
    info.Precision = kNotApplicable;
    info.NumericScale = kNotApplicable;
  } else {
    info.Precision = qMin(ClampToInt(column.ColumnSize), kNotApplicable);
    info.NumericScale = storage == StorageKind::Timestamp || storage == StorageKind::Time
                            ? column.DecimalDigits
                            : kNotApplicable;
  }
  if (IsFixedLength(info.Type) && IsKnownType(column.SqlType)) info.Attributes |= adFldFixed;
  if (column.Updatable == SQL_ATTR_WRITE) info.Attributes |= adFldUpdatable;
  if (column.Updatable == SQL_ATTR_READWRITE_UNKNOWN) info.Attributes |= adFldUnknownUpdatable;
  if (column.Nullable == SQL_NULLABLE) info.Attributes |= adFldIsNullable | adFldMayBeNull;
  if (column.Nullable == SQL_NULLABLE_UNKNOWN) info.Attributes |= adFldMayBeNull;
  if (IsLongColumn(column) && sized) info.Attributes |= adFldLong;
  info.HasIsAutoIncrement = true;
  info.IsAutoIncrement = column.AutoUnique;
  return info;
}

}  // namespace ado
