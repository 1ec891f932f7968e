#include "platform/ado/TypeMapping.h"

#include <limits>

namespace ado {

// What the classic components report where precision or scale does not apply.
constexpr int kNotApplicable = 255;

SQLSMALLINT SqlTypeOf(int adoType) {
  const ColumnType* type = ColumnTypeOfCode(adoType);
  return type ? type->SqlType : SQL_WVARCHAR;
}

namespace {

const ColumnType& RowOf(const ColumnDescription& column) {
  return ColumnTypeOf(column.SqlType, column.Unsigned);
}

bool IsCharacter(const ColumnType& type) {
  return type.Class == TypeClass::Text || type.Class == TypeClass::LongText;
}

// Type names of binary large objects, which some drivers report as bounded binary (SQLite's
// BLOB is SQL_BINARY of size 255).
bool IsLargeObjectName(const QString& typeName) {
  const QString name = typeName.trimmed().toUpper();
  return name.contains(QLatin1String("BLOB")) || name == QLatin1String("IMAGE") ||
         name == QLatin1String("BYTEA") || name == QLatin1String("LONG RAW") ||
         name == QLatin1String("LONG VARBINARY");
}

// The row whose code the column reports: a large object named so reports the long binary code.
const ColumnType& ReportedRowOf(const ColumnDescription& column) {
  const ColumnType& row = RowOf(column);
  if (row.Class == TypeClass::Binary && IsLargeObjectName(column.TypeName))
    return *ColumnTypeOfCode(adLongVarBinary);
  return row;
}

// A driver that gives every value as its own text, whatever the declared type.
FetchPlan TextPlanOf(const ColumnDescription& column, const ColumnType& type,
                     const DriverProfile& profile) {
  FetchPlan plan;
  plan.Kind = FetchKind::ByteText;
  if (type.Class == TypeClass::Integer) {
    plan.Numbers = TextNumbers::Integers;
  } else if (type.Class == TypeClass::Real) {
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
  const ColumnType& type = RowOf(column);
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
  if (type.Class != TypeClass::Binary && profile.ValuesAsText)
    return TextPlanOf(column, type, profile);
  plan.Kind = type.Fetch;
  plan.Infinities = profile.DatesAsServerText &&
                    (type.Class == TypeClass::Date || type.Class == TypeClass::Timestamp);
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

bool IsLongColumn(const ColumnDescription& column) {
  const SQLULEN bound = RowOf(column).MaxBound;
  return bound == 0 || (bound != std::numeric_limits<SQLULEN>::max() &&
                        (column.ColumnSize == 0 || column.ColumnSize > bound));
}

static int ClampToInt(SQLULEN value) {
  return value > static_cast<SQLULEN>(std::numeric_limits<int>::max())
             ? std::numeric_limits<int>::max()
             : static_cast<int>(value);
}

FieldInfo DescribeField(const ColumnDescription& column) {
  FieldInfo info;
  const ColumnType& type = ReportedRowOf(column);
  info.Name = column.Label.isEmpty() ? column.Name : column.Label;
  info.Type = type.Code;
  const bool sized = IsCharacter(type) || type.Class == TypeClass::Binary;
  if (type.Class == TypeClass::LongText) {
    // Unbounded text is reported as 8190, 65535 or 4 G characters; the size only sets the
    // grid's default width (no value is cut), so long text counts as at most 255.
    info.DefinedSize = column.ColumnSize == 0 ? 255 : qMin<SQLULEN>(column.ColumnSize, 255);
  } else if (sized) {
    info.DefinedSize = static_cast<qint64>(qMin<SQLULEN>(column.ColumnSize, 0x7fffffff));
  } else {
    info.DefinedSize = type.Width;
  }
  if (type.Class == TypeClass::Decimal) {
    info.Precision = ClampToInt(column.ColumnSize);
    info.NumericScale = column.DecimalDigits;
  } else if (sized || type.Class == TypeClass::Guid || type.Class == TypeClass::Boolean) {
    info.Precision = kNotApplicable;
    info.NumericScale = kNotApplicable;
  } else {
    info.Precision = qMin(ClampToInt(column.ColumnSize), kNotApplicable);
    info.NumericScale = type.Class == TypeClass::Timestamp || type.Class == TypeClass::Time
                            ? column.DecimalDigits
                            : kNotApplicable;
  }
  if (type.Fixed) info.Attributes |= adFldFixed;
  if (column.Updatable == SQL_ATTR_WRITE) info.Attributes |= adFldUpdatable;
  if (column.Updatable == SQL_ATTR_READWRITE_UNKNOWN) info.Attributes |= adFldUnknownUpdatable;
  if (column.Nullable == SQL_NULLABLE) info.Attributes |= adFldIsNullable | adFldMayBeNull;
  if (column.Nullable == SQL_NULLABLE_UNKNOWN) info.Attributes |= adFldMayBeNull;
  if (IsLongColumn(column) && sized) info.Attributes |= adFldLong;
  info.HasIsAutoIncrement = true;
  info.IsAutoIncrement = column.AutoUnique;
  info.BooleanText = IsCharacter(type) &&
                     (column.TypeName.compare(QLatin1String("bool"), Qt::CaseInsensitive) == 0 ||
                      column.TypeName.compare(QLatin1String("boolean"), Qt::CaseInsensitive) == 0);
  return info;
}

}  // namespace ado
