#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <vector>

namespace ado {

// Column type codes; the numbers are those of the classic data type enumeration, which the
// field type table is written in.
enum DataTypeEnum : int {
  adEmpty = 0,
  adSmallInt = 2,
  adInteger = 3,
  adSingle = 4,
  adDouble = 5,
  adCurrency = 6,
  adDate = 7,
  adBSTR = 8,
  adIDispatch = 9,
  adError = 10,
  adBoolean = 11,
  adVariant = 12,
  adIUnknown = 13,
  adDecimal = 14,
  adTinyInt = 16,
  adUnsignedTinyInt = 17,
  adUnsignedSmallInt = 18,
  adUnsignedInt = 19,
  adBigInt = 20,
  adUnsignedBigInt = 21,
  adFileTime = 64,
  adGUID = 72,
  adBinary = 128,
  adChar = 129,
  adWChar = 130,
  adNumeric = 131,
  adUserDefined = 132,
  adDBDate = 133,
  adDBTime = 134,
  adDBTimeStamp = 135,
  adChapter = 136,
  adDBFileTime = 137,
  adPropVariant = 138,
  adVarNumeric = 139,
  adVarChar = 200,
  adLongVarChar = 201,
  adVarWChar = 202,
  adLongVarWChar = 203,
  adVarBinary = 204,
  adLongVarBinary = 205,
};

enum FieldAttributeEnum : int {
  adFldUpdatable = 0x4,
  adFldUnknownUpdatable = 0x8,
  adFldFixed = 0x10,
  adFldIsNullable = 0x20,
  adFldMayBeNull = 0x40,
  adFldLong = 0x80,
  adFldRowID = 0x100,
};

enum ParameterDirectionEnum : int {
  adParamUnknown = 0,
  adParamInput = 1,
  adParamOutput = 2,
  adParamInputOutput = 3,
  adParamReturnValue = 4,
};

enum ParameterAttributesEnum : int {
  adParamSigned = 0x10,
  adParamNullable = 0x40,
  adParamLong = 0x80,
};

// One column of a result: what the driver describes.
struct FieldInfo {
  QString Name;
  int Type = adEmpty;      // DataTypeEnum
  qint64 DefinedSize = 0;  // characters for text, bytes for binary
  int Precision = 0;
  int NumericScale = 0;
  int Attributes = 0;  // FieldAttributeEnum bits
  // The dynamic property "ISAUTOINCREMENT": whether the column exposes it, and its value.
  bool HasIsAutoIncrement = false;
  bool IsAutoIncrement = false;
};

// A statement parameter as the driver describes it.
struct ParameterInfo {
  QString Name;
  int Type = adEmpty;  // DataTypeEnum
  qint64 Size = 0;
  int NumericScale = 0;
  int Precision = 0;
  int Direction = adParamInput;  // ParameterDirectionEnum
  int Attributes = 0;            // ParameterAttributesEnum bits
};

// An exact decimal number: the digits as the driver delivered them, without sign or point.
struct DecimalValue {
  bool Negative = false;
  QByteArray Digits;  // ASCII '0'..'9', most significant first; may have leading zeros
  int Scale = 0;      // digits after the decimal point
};

// One value of a result, of a kind the column store holds. Dates and times, decimals, money and
// every value a driver can only give as text arrive as Text: the database's own text, which the
// field reads by its type.
struct Value {
  enum class Kind {
    Null,
    Int,     // Int
    UInt,    // UInt: unsigned 64-bit beyond the signed range is kept exactly
    Double,  // Double
    Bool,    // Bool
    Bytes,   // Bytes
    Text,    // Text (UTF-16)
    Guid,    // Text, braced upper-case form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
  };

  Kind kind = Kind::Null;
  qint64 Int = 0;
  quint64 UInt = 0;
  double Double = 0.0;
  bool Bool = false;
  QByteArray Bytes;
  QString Text;

  bool IsNull() const { return kind == Kind::Null; }
};

// A value as the result holds it, without copying: numbers inline, text and bytes by pointer.
// The pointer stays valid until the next read of the same column (or of the Value it views).
struct ValueRef {
  Value::Kind kind = Value::Kind::Null;
  qint64 Int = 0;
  quint64 UInt = 0;
  double Double = 0.0;
  bool Bool = false;
  // Text and Guid: UTF-8 bytes, or UTF-16 units when Wide (Size counts units then); Bytes.
  const char* Data = nullptr;
  qsizetype Size = 0;
  bool Wide = false;

  bool IsNull() const { return kind == Value::Kind::Null; }
  const char16_t* Units() const { return reinterpret_cast<const char16_t*>(Data); }
  // The text of a Text or Guid value.
  QString TextString() const;
  QByteArray ByteArray() const { return QByteArray(Data, Size); }
};

// A view of a value; valid as long as the value lives unchanged.
ValueRef RefOf(const Value& value);
// An owning copy of a viewed value.
Value ValueOf(const ValueRef& ref);

}  // namespace ado
