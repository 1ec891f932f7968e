#include "data/FieldTypes.h"

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
#include "platform/ado/AdoTypes.h"

namespace fieldtypes {

namespace {

constexpr bool kOdbc = true;
constexpr bool kNamedOnly = false;
constexpr bool kRule = true;

// The type table. The codes marked kNamedOnly come from no SQL type; their classes stay for the
// values they name (memo, variant, interface).
constexpr ColumnCode kColumnCodes[] = {
    {ado::adVarChar, ftString, false, kOdbc},
    {ado::adChar, ftFixedChar, false, kOdbc},
    {ado::adBSTR, ftWideString, false, kNamedOnly},
    {ado::adVarWChar, ftWideString, false, kOdbc},
    {ado::adWChar, ftFixedWideChar, false, kOdbc},
    {ado::adLongVarChar, ftMemo, false, kNamedOnly},
    {ado::adLongVarWChar, ftWideMemo, false, kNamedOnly},
    {ado::adLongVarBinary, ftBlob, false, kOdbc},
    {ado::adBinary, ftBytes, false, kOdbc},
    {ado::adVarBinary, ftVarBytes, false, kOdbc},
    {ado::adTinyInt, ftSmallint, false, kOdbc},
    {ado::adSmallInt, ftSmallint, false, kOdbc},
    {ado::adUnsignedTinyInt, ftWord, false, kOdbc},
    {ado::adUnsignedSmallInt, ftWord, false, kOdbc},
    {ado::adInteger, ftInteger, false, kOdbc},
    {ado::adError, ftInteger, false, kNamedOnly},
    {ado::adUnsignedInt, ftInteger, false, kOdbc},
    {ado::adBigInt, ftLargeint, false, kOdbc},
    {ado::adUnsignedBigInt, ftLargeint, false, kOdbc},
    {ado::adSingle, ftFloat, false, kOdbc},
    {ado::adDouble, ftFloat, false, kOdbc},
    {ado::adCurrency, ftBCD, false, kNamedOnly},
    {ado::adDecimal, ftBCD, kRule, kNamedOnly},
    {ado::adNumeric, ftBCD, kRule, kOdbc},
    {ado::adVarNumeric, ftBCD, kRule, kNamedOnly},
    {ado::adBoolean, ftBoolean, false, kOdbc},
    {ado::adDate, ftDateTime, false, kNamedOnly},
    {ado::adDBTimeStamp, ftDateTime, false, kOdbc},
    {ado::adFileTime, ftDateTime, false, kNamedOnly},
    {ado::adDBFileTime, ftDateTime, false, kNamedOnly},
    {ado::adDBDate, ftDate, false, kOdbc},
    {ado::adDBTime, ftTime, false, kOdbc},
    {ado::adGUID, ftGuid, false, kOdbc},
    {ado::adVariant, ftVariant, false, kNamedOnly},
    {ado::adPropVariant, ftVariant, false, kNamedOnly},
    {ado::adIUnknown, ftInterface, false, kNamedOnly},
    {ado::adIDispatch, ftIDispatch, false, kNamedOnly},
    {ado::adChapter, ftDataSet, false, kNamedOnly},
};

template <typename T>
std::unique_ptr<TField> Make(TADODataSet* dataSet) {
  return std::make_unique<T>(dataSet);
}

constexpr FieldClass kFieldClasses[] = {
    {ftString, Shape::Text, Make<TStringField>},
    {ftFixedChar, Shape::Text, Make<TStringField>},
    {ftWideString, Shape::Text, Make<TWideStringField>},
    {ftFixedWideChar, Shape::Text, Make<TWideStringField>},
    {ftMemo, Shape::Plain, Make<TMemoField>},
    {ftWideMemo, Shape::Plain, Make<TWideMemoField>},
    {ftBlob, Shape::Plain, Make<TBlobField>},
    {ftBytes, Shape::Bytes, Make<TBytesField>},
    {ftVarBytes, Shape::Bytes, Make<TVarBytesField>},
    {ftSmallint, Shape::Plain, Make<TSmallintField>},
    {ftWord, Shape::Plain, Make<TWordField>},
    {ftInteger, Shape::Plain, Make<TIntegerField>},
    {ftAutoInc, Shape::Plain, Make<TAutoIncField>},
    {ftLargeint, Shape::Plain, Make<TLargeintField>},
    {ftFloat, Shape::Plain, Make<TFloatField>},
    {ftBCD, Shape::Decimal, Make<TBCDField>},
    {ftFMTBcd, Shape::Decimal, Make<TFMTBCDField>},
    {ftBoolean, Shape::Plain, Make<TBooleanField>},
    {ftDateTime, Shape::Plain, Make<TDateTimeField>},
    {ftDate, Shape::Plain, Make<TDateField>},
    {ftTime, Shape::Plain, Make<TTimeField>},
    {ftGuid, Shape::Guid, Make<TGuidField>},
    {ftVariant, Shape::Plain, Make<TVariantField>},
    {ftInterface, Shape::Plain, Make<TInterfaceField>},
    {ftIDispatch, Shape::Plain, Make<TIDispatchField>},
    // Nested results have no field.
    {ftDataSet, Shape::Plain, nullptr},
};

// Every type a code becomes, and every type the decimal rule and auto-increment give, has a class.
constexpr bool HasClass(TFieldType type) {
  for (const FieldClass& c : kFieldClasses)
    if (c.Type == type) return true;
  return false;
}
constexpr bool EveryTypeHasAClass() {
  for (const ColumnCode& code : kColumnCodes)
    if (!HasClass(code.Type)) return false;
  return HasClass(ftFMTBcd) && HasClass(ftFloat) && HasClass(ftInteger) && HasClass(ftAutoInc);
}
static_assert(EveryTypeHasAClass(), "a definition type without a field class row");

}  // namespace

const ColumnCode* ColumnCodeOf(int code) {
  for (const ColumnCode& row : kColumnCodes)
    if (row.Code == code) return &row;
  return nullptr;
}

const FieldClass* FieldClassOf(TFieldType type) {
  for (const FieldClass& row : kFieldClasses)
    if (row.Type == type) return &row;
  return nullptr;
}

}  // namespace fieldtypes
