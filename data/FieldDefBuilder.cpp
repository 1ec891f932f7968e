#include "data/FieldDefBuilder.h"

#include "data/TADODataSet.h"
#include "data/TAutoIncField.h"
#include "data/TBCDField.h"
#include "data/TBlobField.h"
#include "data/TBooleanField.h"
#include "data/TBytesField.h"
#include "data/TDateField.h"
#include "data/TDateTimeField.h"
#include "data/TFMTBCDField.h"
#include "data/TFloatField.h"
#include "data/TGuidField.h"
#include "data/TIDispatchField.h"
#include "data/TIntegerField.h"
#include "data/TInterfaceField.h"
#include "data/TLargeintField.h"
#include "data/TMemoField.h"
#include "data/TSmallintField.h"
#include "data/TStringField.h"
#include "data/TTimeField.h"
#include "data/TVarBytesField.h"
#include "data/TVariantField.h"
#include "data/TWideMemoField.h"
#include "data/TWideStringField.h"
#include "data/TWordField.h"
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

bool IsDecimal(TFieldType t) {
  return t == ftBCD || t == ftFMTBcd;
}

int SizeOf(TFieldType type, const ado::FieldInfo& c) {
  switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftFixedWideChar:
    case ftBytes:
    case ftVarBytes:
      return static_cast<int>(qBound<qint64>(qint64(0), c.DefinedSize, qint64(INT_MAX)));
    case ftGuid:
      return 38;
    case ftBCD:
    case ftFMTBcd:
      return EffectiveScale(c.NumericScale);
    default:
      return 0;
  }
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
  switch (c.Type) {
    case ado::adVarChar:
      return ftString;
    case ado::adChar:
      return ftFixedChar;
    case ado::adBSTR:
    case ado::adVarWChar:
      return ftWideString;
    case ado::adWChar:
      return ftFixedWideChar;
    case ado::adLongVarChar:
      return ftMemo;
    case ado::adLongVarWChar:
      return ftWideMemo;
    case ado::adLongVarBinary:
      return ftBlob;
    case ado::adBinary:
      return ftBytes;
    case ado::adVarBinary:
      return ftVarBytes;
    case ado::adTinyInt:
    case ado::adSmallInt:
      return ftSmallint;
    case ado::adUnsignedTinyInt:
    case ado::adUnsignedSmallInt:
      return ftWord;
    case ado::adInteger:
    case ado::adError:
    case ado::adUnsignedInt:
      return ftInteger;
    case ado::adBigInt:
    case ado::adUnsignedBigInt:
      return ftLargeint;
    case ado::adSingle:
    case ado::adDouble:
      return ftFloat;
    case ado::adCurrency:
      return ftBCD;
    case ado::adDecimal:
    case ado::adNumeric:
    case ado::adVarNumeric:
      return DecimalType(c, enableBcd);
    case ado::adBoolean:
      return ftBoolean;
    case ado::adDate:
    case ado::adDBTimeStamp:
    case ado::adFileTime:
    case ado::adDBFileTime:
      return ftDateTime;
    case ado::adDBDate:
      return ftDate;
    case ado::adDBTime:
      return ftTime;
    case ado::adGUID:
      return ftGuid;
    case ado::adVariant:
    case ado::adPropVariant:
      return ftVariant;
    case ado::adIUnknown:
      return ftInterface;
    case ado::adIDispatch:
      return ftIDispatch;
    case ado::adChapter:
      return ftDataSet;
    default:
      return std::nullopt;
  }
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
    def->Size = SizeOf(*type, c);
    if (IsDecimal(*type)) def->Precision = c.Precision;
    const bool autoInc =
        autoIncKnown && *type == ftInteger && c.HasIsAutoIncrement && c.IsAutoIncrement;
    if (autoInc) def->DataType = ftAutoInc;
    if (c.Attributes & ado::adFldRowID) def->Attributes |= faHiddenCol;
    if (c.Attributes & ado::adFldFixed) def->Attributes |= faFixed;
    if (!(c.Attributes & (ado::adFldUpdatable | ado::adFldUnknownUpdatable)) || autoInc)
      def->Attributes |= faReadonly;
    def->FieldNo = n;
    def->BooleanText = c.BooleanText;
    defs.push_back(std::move(def));
  }
  return defs;
}

namespace {

std::unique_ptr<TField> NewField(TFieldType type, TADODataSet* ds) {
  switch (type) {
    case ftString:
    case ftFixedChar:
      return std::make_unique<TStringField>(ds);
    case ftWideString:
    case ftFixedWideChar:
      return std::make_unique<TWideStringField>(ds);
    case ftMemo:
      return std::make_unique<TMemoField>(ds);
    case ftWideMemo:
      return std::make_unique<TWideMemoField>(ds);
    case ftBlob:
      return std::make_unique<TBlobField>(ds);
    case ftBytes:
      return std::make_unique<TBytesField>(ds);
    case ftVarBytes:
      return std::make_unique<TVarBytesField>(ds);
    case ftSmallint:
      return std::make_unique<TSmallintField>(ds);
    case ftWord:
      return std::make_unique<TWordField>(ds);
    case ftInteger:
      return std::make_unique<TIntegerField>(ds);
    case ftAutoInc:
      return std::make_unique<TAutoIncField>(ds);
    case ftLargeint:
      return std::make_unique<TLargeintField>(ds);
    case ftFloat:
      return std::make_unique<TFloatField>(ds);
    case ftBCD:
      return std::make_unique<TBCDField>(ds);
    case ftFMTBcd:
      return std::make_unique<TFMTBCDField>(ds);
    case ftBoolean:
      return std::make_unique<TBooleanField>(ds);
    case ftDateTime:
      return std::make_unique<TDateTimeField>(ds);
    case ftDate:
      return std::make_unique<TDateField>(ds);
    case ftTime:
      return std::make_unique<TTimeField>(ds);
    case ftGuid:
      return std::make_unique<TGuidField>(ds);
    case ftVariant:
      return std::make_unique<TVariantField>(ds);
    case ftInterface:
      return std::make_unique<TInterfaceField>(ds);
    case ftIDispatch:
      return std::make_unique<TIDispatchField>(ds);
    default:
      return nullptr;  // structured types (nested results) have no field
  }
}

}  // namespace

std::unique_ptr<TField> CreateField(const TFieldDef& def, TADODataSet* dataSet) {
  if (def.Attributes & faHiddenCol) return nullptr;
  std::unique_ptr<TField> field = NewField(def.DataType, dataSet);
  if (!field) return nullptr;
  field->SetSize(def.Size);
  field->SetFieldName(def.Name);
  field->SetReadOnly(def.Attributes & faReadonly);
  if (IsDecimal(def.DataType)) field->SetPrecision(def.Precision);
  const bool text = def.DataType == ftString || def.DataType == ftFixedChar ||
                    def.DataType == ftWideString || def.DataType == ftFixedWideChar;
  if (text) field->SetFixedChar((def.Attributes & faFixed) || def.DataType == ftFixedChar);
  field->SetBooleanText(def.BooleanText);
  field->SetFieldNo(def.FieldNo);
  return field;
}

}  // namespace fielddefs
