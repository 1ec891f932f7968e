#include "data/FieldDefBuilder.h"

#include "data/FieldTypes.h"
#include "data/TADODataSet.h"
#include "platform/ado/AdoInterfaces.h"

#include <QSet>

#include <climits>

namespace fielddefs {

namespace {

// A provider reports a scale above 127 when no scale applies.
int EffectiveScale(int scale) {
  return scale > 127 ? 4 : scale;
}

TFieldType DecimalType(const ado::FieldInfo& c, bool enableBcd) {
  const int scale = EffectiveScale(c.NumericScale);
  if (c.Type == ado::adNumeric && scale == 0 && c.Precision < 10) return ftInteger;
  if (!enableBcd) return ftFloat;
  if (scale > 4 || c.Precision > 19) return ftFMTBcd;
  return ftBCD;
}

int SizeOf(fieldtypes::Shape shape, const ado::FieldInfo& c) {
  using fieldtypes::Shape;
  switch (shape) {
    case Shape::Text:
    case Shape::Bytes:
      return static_cast<int>(qBound<qint64>(qint64(0), c.DefinedSize, qint64(INT_MAX)));
    case Shape::Guid:
      return 38;
    case Shape::Decimal:
      return EffectiveScale(c.NumericScale);
    case Shape::Plain:
      return 0;
  }
  return 0;
}

QString UniqueName(const QString& name, const QSet<QString>& taken) {
  if (!name.isEmpty() && !taken.contains(name.toLower())) return name;
  for (int k = 1;; ++k) {
    const QString candidate = name.isEmpty()
                                  ? QStringLiteral("COLUMN%1").arg(k)
                                  : QStringLiteral("%1_%2").arg(name, QString::number(k));
    if (!taken.contains(candidate.toLower())) return candidate;
  }
}

}  // namespace

std::optional<TFieldType> MapColumnType(const ado::FieldInfo& c, bool enableBcd) {
  const fieldtypes::ColumnCode* code = fieldtypes::ColumnCodeOf(c.Type);
  if (!code) return std::nullopt;
  return code->DecimalRule ? DecimalType(c, enableBcd) : code->Type;
}

std::vector<std::unique_ptr<TFieldDef>> Build(const ado::Recordset& recordset, bool enableBcd) {
  std::vector<std::unique_ptr<TFieldDef>> defs;
  QSet<QString> taken;
  const int count = recordset.FieldCount();
  const bool autoIncKnown = count > 0 && recordset.Field(0).HasIsAutoIncrement;
  for (int n = 1; n <= count; ++n) {
    const ado::FieldInfo& c = recordset.Field(n - 1);
    const std::optional<TFieldType> type = MapColumnType(c, enableBcd);
    if (!type) continue;
    auto def = std::make_unique<TFieldDef>();
    def->Name = UniqueName(c.Name, taken);
    taken.insert(def->Name.toLower());
    def->DataType = *type;
    const fieldtypes::Shape shape = fieldtypes::FieldClassOf(*type)->Form;
    def->Size = SizeOf(shape, c);
    if (shape == fieldtypes::Shape::Decimal) def->Precision = c.Precision;
    const bool autoInc =
        autoIncKnown && *type == ftInteger && c.HasIsAutoIncrement && c.IsAutoIncrement;
    if (autoInc) def->DataType = ftAutoInc;
    if (c.Attributes & ado::adFldRowID) def->Attributes |= faHiddenCol;
    if (c.Attributes & ado::adFldFixed) def->Attributes |= faFixed;
    if (!(c.Attributes & (ado::adFldUpdatable | ado::adFldUnknownUpdatable)) || autoInc)
      def->Attributes |= faReadonly;
    def->FieldNo = n;
    defs.push_back(std::move(def));
  }
  return defs;
}

std::unique_ptr<TField> CreateField(const TFieldDef& def, TADODataSet* dataSet) {
  if (def.Attributes & faHiddenCol) return nullptr;
  const fieldtypes::FieldClass* fieldClass = fieldtypes::FieldClassOf(def.DataType);
  if (!fieldClass || !fieldClass->Make) return nullptr;
  std::unique_ptr<TField> field = fieldClass->Make(dataSet);
  field->SetSize(def.Size);
  field->SetFieldName(def.Name);
  field->SetReadOnly(def.Attributes & faReadonly);
  if (fieldClass->Form == fieldtypes::Shape::Decimal) field->SetPrecision(def.Precision);
  if (fieldClass->Form == fieldtypes::Shape::Text)
    field->SetFixedChar((def.Attributes & faFixed) || def.DataType == ftFixedChar);
  field->SetFieldNo(def.FieldNo);
  return field;
}

}  // namespace fielddefs
