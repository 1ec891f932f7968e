#pragma once

#include "data/TField.h"

#include <memory>
#include <optional>
#include <vector>

namespace ado {
class Recordset;
}

// The field definitions of a result and the field objects made from them.
namespace fielddefs {

// The definition type of a column by the type table and the decimal rule; none for a column
// of an unlisted type, which is left out.
std::optional<TFieldType> MapColumnType(const ado::FieldInfo& column, bool enableBcd);

// One definition per column of a listed type, named uniquely (case-insensitive), in order.
std::vector<std::unique_ptr<TFieldDef>> Build(const ado::Recordset& recordset, bool enableBcd);

// The field for a definition, or null for hidden and structured ones.
std::unique_ptr<TField> CreateField(const TFieldDef& def, TADODataSet* dataSet);

}  // namespace fielddefs
