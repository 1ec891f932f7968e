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
      return adVarChar;  // unbounded text is the ordinary string of many databases
    case SQL_WCHAR:
      return adWChar;
    case SQL_WVARCHAR:
      return adVarWChar;
    case SQL_WLONGVARCHAR:
      return adVarWChar;
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

namespace {

bool IsKnownType(SQLSMALLINT sqlType) {
  return AdoTypeOf(sqlType, false) != adVarWChar || sqlType == SQL_WVARCHAR ||
         sqlType == SQL_WLONGVARCHAR;
}

bool IsCharacterType(SQLSMALLINT sqlType) {
  switch (sqlType) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
      return true;
    default:
      return !IsKnownType(sqlType);
  }
}

bool IsBinaryType(SQLSMALLINT sqlType) {
  return sqlType == SQL_BINARY || sqlType == SQL_VARBINARY || sqlType == SQL_LONGVARBINARY;
}

// Type names of binary large objects, which some drivers report as bounded binary (SQLite's
// BLOB is SQL_BINARY of size 255).
bool IsLargeObjectName(const QString& typeName) {
  const QString name = typeName.trimmed().toUpper();
  return name.contains(QLatin1String("BLOB")) || name == QLatin1String("IMAGE") ||
         name == QLatin1String("BYTEA") || name == QLatin1String("LONG RAW") ||
         name == QLatin1String("LONG VARBINARY");
}

int ColumnTypeOf(const ColumnDescription& column) {
  if (IsBinaryType(column.SqlType) && IsLargeObjectName(column.TypeName)) return adLongVarBinary;
  return AdoTypeOf(column.SqlType, column.Unsigned);
}

}  // namespace

namespace {

bool IsIntegerType(int type) {
  switch (type) {
    case adTinyInt:
    case adSmallInt:
    case adInteger:
    case adBigInt:
    case adUnsignedTinyInt:
    case adUnsignedSmallInt:
    case adUnsignedInt:
    case adUnsignedBigInt:
      return true;
    default:
      return false;
  }
}

// A driver that gives every value as its own text, whatever the declared type.
FetchPlan TextPlanOf(const ColumnDescription& column, int type, const DriverProfile& profile) {
  FetchPlan plan;
  plan.Kind = FetchKind::ByteText;
  if (IsIntegerType(type)) {
    plan.Numbers = TextNumbers::Integers;
  } else if (type == adSingle || type == adDouble) {
    plan.Numbers = TextNumbers::IntegersAndReals;
  } else {
    // Without a declared type the driver says "varchar" and names no table. Integers are kept
    // as such there, since their text comes back the same whatever the column.
    plan.TypeFromFirstValue =
        profile.FirstValueTyping && column.TableName.isEmpty() && column.SqlType == SQL_VARCHAR &&
        column.TypeName.compare(QLatin1String("varchar"), Qt::CaseInsensitive) == 0;
    if (plan.TypeFromFirstValue) plan.Numbers = TextNumbers::Integers;
  }
  return plan;
}

}  // namespace

FetchPlan PlanOf(const ColumnDescription& column, const DriverProfile& profile) {
  FetchPlan plan;
  const int type = AdoTypeOf(column.SqlType, column.Unsigned);
  if (profile.WideBitsAreNumbers && column.SqlType == SQL_BINARY &&
      column.TypeName.compare(QLatin1String("bit"), Qt::CaseInsensitive) == 0) {
    plan.Kind = FetchKind::Bytes;
    plan.BitsAsNumber = true;
    return plan;
  }
  if (profile.MoneyTypeName &&
      column.TypeName.compare(QLatin1String(profile.MoneyTypeName), Qt::CaseInsensitive) == 0) {
    plan.Kind = FetchKind::ByteText;
    plan.MoneyText = true;
    return plan;
  }
  if (IsBinaryType(column.SqlType)) {
    plan.Kind = FetchKind::Bytes;
    return plan;
  }
  if (profile.ValuesAsText) return TextPlanOf(column, type, profile);
  if (IsIntegerType(type)) {
    plan.Kind = type == adUnsignedBigInt ? FetchKind::UInt : FetchKind::Int;
    return plan;
  }
  switch (type) {
    case adSingle:
    case adDouble:
      plan.Kind = FetchKind::Double;
      break;
    case adBoolean:
      plan.Kind = FetchKind::Bool;
      break;
    case adGUID:
      plan.Kind = FetchKind::Guid;
      break;
    case adNumeric:
      plan.Kind = FetchKind::ByteText;
      break;
    case adDBDate:
    case adDBTimeStamp:
      plan.Kind = FetchKind::WideText;
      plan.Infinities = profile.DatesAsServerText;
      break;
    default:
      // Character data, and dates and times: as text, since the date structures cannot hold
      // every value a database has (zero dates, times beyond 24 hours, infinities).
      plan.Kind = FetchKind::WideText;
      break;
  }
  return plan;
}

void DescribeAsPlanned(const FetchPlan& plan, ColumnDescription& column) {
  if (plan.BitsAsNumber) {
    column.SqlType = SQL_BIGINT;
    column.Unsigned = true;
    column.ColumnSize = 20;
  } else if (plan.MoneyText) {
    // PostgreSQL's money holds up to 92233720368547758.07.
    column.SqlType = SQL_DECIMAL;
    column.ColumnSize = 19;
    column.DecimalDigits = 2;
  }
}

SQLSMALLINT CTypeOf(FetchKind kind) {
  switch (kind) {
    case FetchKind::Int:
      return SQL_C_SBIGINT;
    case FetchKind::UInt:
      return SQL_C_UBIGINT;
    case FetchKind::Double:
      return SQL_C_DOUBLE;
    case FetchKind::Bool:
      return SQL_C_BIT;
    case FetchKind::Guid:
      return SQL_C_GUID;
    case FetchKind::WideText:
      return SQL_C_WCHAR;
    case FetchKind::ByteText:
      return SQL_C_CHAR;
    case FetchKind::Bytes:
      return SQL_C_BINARY;
  }
  return SQL_C_WCHAR;
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
  if (IsCharacterType(column.SqlType))
    return column.ColumnSize == 0 || column.ColumnSize > kMaxBoundChars;
  if (IsBinaryType(column.SqlType))
    return column.ColumnSize == 0 || column.ColumnSize > kMaxBoundBytes;
  // Exact decimals arrive as text; a huge precision is read in pieces.
  if (column.SqlType == SQL_NUMERIC || column.SqlType == SQL_DECIMAL)
    return column.ColumnSize == 0 || column.ColumnSize > kMaxBoundChars;
  return false;
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
  info.Type = ColumnTypeOf(column);
  const bool character = IsCharacterType(column.SqlType);
  const bool sized = character || IsBinaryType(column.SqlType);
  if (info.Type == adLongVarBinary) {
    info.DefinedSize = static_cast<qint64>(qMin<SQLULEN>(column.ColumnSize, 0x7fffffff));
  } else if (character) {
    // Unbounded text is reported as 8190, 65535 or 4 G characters; the size only sets the
    // grid's default width (no value is cut), so long text counts as at most 255.
    SQLULEN size = column.ColumnSize;
    if (column.SqlType == SQL_LONGVARCHAR || column.SqlType == SQL_WLONGVARCHAR)
      size = size == 0 ? 255 : qMin<SQLULEN>(size, 255);
    info.DefinedSize = static_cast<qint64>(qMin<SQLULEN>(size, 0x7fffffff));
  } else if (sized) {
    info.DefinedSize = static_cast<qint64>(qMin<SQLULEN>(column.ColumnSize, 0x7fffffff));
  } else {
    info.DefinedSize = FixedWidth(info.Type);
  }
  if (info.Type == adNumeric) {
    info.Precision = ClampToInt(column.ColumnSize);
    info.NumericScale = column.DecimalDigits;
  } else if (sized || info.Type == adGUID || info.Type == adBoolean) {
    info.Precision = kNotApplicable;
    info.NumericScale = kNotApplicable;
  } else {
    info.Precision = qMin(ClampToInt(column.ColumnSize), kNotApplicable);
    info.NumericScale =
        info.Type == adDBTimeStamp || info.Type == adDBTime ? column.DecimalDigits : kNotApplicable;
  }
  if (IsFixedLength(info.Type) && IsKnownType(column.SqlType)) info.Attributes |= adFldFixed;
  if (column.Updatable == SQL_ATTR_WRITE) info.Attributes |= adFldUpdatable;
  if (column.Updatable == SQL_ATTR_READWRITE_UNKNOWN) info.Attributes |= adFldUnknownUpdatable;
  if (column.Nullable == SQL_NULLABLE) info.Attributes |= adFldIsNullable | adFldMayBeNull;
  if (column.Nullable == SQL_NULLABLE_UNKNOWN) info.Attributes |= adFldMayBeNull;
  if (IsLongColumn(column) && sized) info.Attributes |= adFldLong;
  info.HasIsAutoIncrement = true;
  info.IsAutoIncrement = column.AutoUnique;
  info.BooleanText =
      character && (column.TypeName.compare(QLatin1String("bool"), Qt::CaseInsensitive) == 0 ||
                    column.TypeName.compare(QLatin1String("boolean"), Qt::CaseInsensitive) == 0);
  return info;
}

}  // namespace ado
