#pragma once

#include "data/DataSetTypes.h"

#include <memory>

class TField;
class TADODataSet;

// Every fact of this layer about a column type, in two tables (FieldTypes.cpp): the type table
// (which definition type a column type code becomes) and the field class of each definition
// type. What the database layer knows of a type is its own table (platform/ado/ColumnTypes.cpp).
namespace fieldtypes {

struct ColumnCode {
  int Code;  // ado::DataTypeEnum
  TFieldType Type;
  bool DecimalRule;  // the type is decided by precision and scale (ftBCD before the rule)
  // Whether the database layer delivers the code; the others are kept as the type table names
  // them, for a layer that would.
  bool FromOdbc;
};

// What a definition of the type takes from its column, besides name and attributes.
enum class Shape {
  Plain,    // Size 0
  Text,     // Size: the defined size; FixedChar
  Bytes,    // Size: the defined size
  Guid,     // Size 38
  Decimal,  // Size: the numeric scale; Precision
};

using FieldMaker = std::unique_ptr<TField> (*)(TADODataSet*);

struct FieldClass {
  TFieldType Type;
  Shape Form;
  FieldMaker Make;  // null for a structured type, which has no field
};

// The row of a code; null for a code the type table does not list (its column is left out).
const ColumnCode* ColumnCodeOf(int code);
// The class row of a definition type; null for a type no column becomes.
const FieldClass* FieldClassOf(TFieldType type);

}  // namespace fieldtypes
