#pragma once

#include "platform/ado/AdoTypes.h"
#include "platform/ado/ColumnTypes.h"
#include "platform/ado/DriverProfile.h"

#include <QString>

#include <sql.h>
#include <sqlext.h>

namespace ado {

// What the driver says of one result column.
struct ColumnDescription {
  QString Name;       // from SQLDescribeColW
  QString Label;      // SQL_DESC_LABEL
  QString TypeName;   // SQL_DESC_TYPE_NAME, the database's name of the type
  QString TableName;  // SQL_DESC_TABLE_NAME; empty for an expression
  SQLSMALLINT SqlType = SQL_UNKNOWN_TYPE;
  SQLULEN ColumnSize = 0;
  SQLSMALLINT DecimalDigits = 0;
  SQLSMALLINT Nullable = SQL_NULLABLE_UNKNOWN;
  bool Unsigned = false;
  SQLLEN Updatable = SQL_ATTR_READWRITE_UNKNOWN;
  bool AutoUnique = false;
};

// Which texts of a SQLite column are kept as numbers: those SQLite itself holds as integers
// (and, in floating-point columns, as reals). Any other text is kept as it came.
enum class TextNumbers { None, Integers, IntegersAndReals };

struct FetchPlan {
  FetchKind Kind = FetchKind::WideText;
  TextNumbers Numbers = TextNumbers::None;
  // A SQLite expression without a declared type: its type is told by its first value.
  bool TypeFromFirstValue = false;
  // A PostgreSQL date or timestamp, whose texts may stand for infinity.
  bool Infinities = false;
  // MariaDB's BIT(n) with n > 1: its bytes, most significant first, are an unsigned number.
  bool BitsAsNumber = false;
  // A money text ("-$1,234.56"), kept as its exact decimal number.
  bool MoneyText = false;
};

// The SQL type to declare for a parameter of a column type code (the reverse mapping).
SQLSMALLINT SqlTypeOf(int adoType);
FetchPlan PlanOf(const ColumnDescription& column, const DriverProfile& profile);
// The description of a column whose plan reads it otherwise than the driver describes it:
// a wide BIT as an unsigned number, money as an exact decimal.
void DescribeAsPlanned(const FetchPlan& plan, ColumnDescription& column);
// Whether the column has to be read in pieces with SQLGetData instead of a bound buffer.
bool IsLongColumn(const ColumnDescription& column);
FieldInfo DescribeField(const ColumnDescription& column);

}  // namespace ado
