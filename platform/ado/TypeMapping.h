#pragma once

#include "platform/ado/AdoTypes.h"

#include <QString>

#include <sql.h>
#include <sqlext.h>

namespace ado {

// What the driver says of one result column.
struct ColumnDescription {
  QString Name;   // from SQLDescribeColW
  QString Label;  // SQL_DESC_LABEL
  SQLSMALLINT SqlType = SQL_UNKNOWN_TYPE;
  SQLULEN ColumnSize = 0;
  SQLSMALLINT DecimalDigits = 0;
  SQLSMALLINT Nullable = SQL_NULLABLE_UNKNOWN;
  bool Unsigned = false;
  SQLLEN Updatable = SQL_ATTR_READWRITE_UNKNOWN;
  bool AutoUnique = false;
};

// How a column's values are fetched and kept.
enum class StorageKind {
  Int,
  UInt,
  Double,
  Bool,
  Date,
  Time,
  Timestamp,
  Guid,
  Text,
  Decimal,
  Bytes
};

// The column type code for an ODBC SQL type.
int AdoTypeOf(SQLSMALLINT sqlType, bool isUnsigned);
// The SQL type to declare for a parameter of a column type code (the reverse mapping).
SQLSMALLINT SqlTypeOf(int adoType);
StorageKind StorageOf(const ColumnDescription& column);
// Whether the column has to be read in pieces with SQLGetData instead of a bound buffer.
bool IsLongColumn(const ColumnDescription& column);
FieldInfo DescribeField(const ColumnDescription& column);

}  // namespace ado
