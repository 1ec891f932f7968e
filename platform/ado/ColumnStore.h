#pragma once

#include "platform/ado/AdoTypes.h"
#include "platform/ado/TypeMapping.h"

#include <cstdint>
#include <vector>

namespace ado {

// The values of one result column, kept compactly: a typed array for fixed-size values, or one
// buffer with end offsets for variable-length ones, and a null flag per row. Appending costs no
// allocation per value; a Value is built only when it is asked for.
class ColumnStore {
 public:
  explicit ColumnStore(StorageKind kind);

  StorageKind Kind() const { return FKind; }
  qint64 RowCount() const { return static_cast<qint64>(FNulls.size()); }
  void Reserve(qint64 rows);

  void AppendNull();
  void AppendInt(qint64 value);     // Int, Bool
  void AppendUInt(quint64 value);   // UInt
  void AppendDouble(double value);  // Double, and Date/Time/Timestamp as days since 1899-12-30
  // Variable-length values (Text: UTF-16 units; Decimal: ASCII text; Bytes and Guid: bytes)
  // may arrive in pieces: append them, then finish the row.
  void AppendUnits(const char16_t* units, size_t count);
  void AppendBytes(const char* bytes, size_t count);
  void FinishRow();

  Value ValueAt(qint64 row) const;

 private:
  size_t VarBegin(size_t row) const { return row == 0 ? 0 : FEnds[row - 1]; }

  StorageKind FKind;
  std::vector<uint8_t> FNulls;
  std::vector<qint64> FInts;
  std::vector<double> FDoubles;
  std::vector<char16_t> FUnits;
  std::vector<char> FBytes;
  std::vector<size_t> FEnds;
};

// "-123.450" or "1.5E+3" as exact digits and scale; false when the text is no number.
bool ParseDecimal(const char* text, size_t length, DecimalValue& out);
// Days since 30 December 1899 with the time of day as fraction (the fraction counts away from
// day zero for earlier dates, as the classic date type does).
double DaysSince1899(int year, int month, int day, double secondsOfDay);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" from an ODBC GUID structure's 16 bytes.
QString GuidText(const char* bytes);

}  // namespace ado
