#include "platform/ado/ColumnStore.h"

#include <sql.h>
#include <sqlext.h>

#include <cstring>
#include <limits>

namespace ado {

ColumnStore::ColumnStore(StorageKind kind) : FKind(kind) {}

static bool IsVariable(StorageKind kind) {
  return kind == StorageKind::Text || kind == StorageKind::Decimal || kind == StorageKind::Bytes ||
         kind == StorageKind::Guid;
}

static bool IsDoubleKind(StorageKind kind) {
  return kind == StorageKind::Double || kind == StorageKind::Date || kind == StorageKind::Time ||
         kind == StorageKind::Timestamp;
}

void ColumnStore::Reserve(qint64 rows) {
  const auto n = static_cast<size_t>(rows);
  FNulls.reserve(n);
  if (IsVariable(FKind)) {
    FEnds.reserve(n);
  } else if (IsDoubleKind(FKind)) {
    FDoubles.reserve(n);
  } else {
    FInts.reserve(n);
  }
}

void ColumnStore::AppendNull() {
  if (IsVariable(FKind)) {
    FinishRow();
    FNulls.back() = 1;
    return;
  }
  FNulls.push_back(1);
  if (IsDoubleKind(FKind)) {
    FDoubles.push_back(0.0);
  } else {
    FInts.push_back(0);
  }
}

void ColumnStore::AppendInt(qint64 value) {
  FNulls.push_back(0);
  FInts.push_back(value);
}

void ColumnStore::AppendUInt(quint64 value) {
  FNulls.push_back(0);
  FInts.push_back(static_cast<qint64>(value));
}

void ColumnStore::AppendDouble(double value) {
  FNulls.push_back(0);
  FDoubles.push_back(value);
}

void ColumnStore::AppendUnits(const char16_t* units, size_t count) {
  FUnits.insert(FUnits.end(), units, units + count);
}

void ColumnStore::AppendBytes(const char* bytes, size_t count) {
  FBytes.insert(FBytes.end(), bytes, bytes + count);
}

void ColumnStore::FinishRow() {
  FNulls.push_back(0);
  FEnds.push_back(FKind == StorageKind::Text ? FUnits.size() : FBytes.size());
}

Value ColumnStore::ValueAt(qint64 row) const {
  Value value;
  const auto r = static_cast<size_t>(row);
  if (row < 0 || r >= FNulls.size() || FNulls[r]) return value;
  switch (FKind) {
    case StorageKind::Int:
      value.kind = Value::Kind::Int;
      value.Int = FInts[r];
      break;
    case StorageKind::UInt: {
      const auto u = static_cast<quint64>(FInts[r]);
      if (u > static_cast<quint64>(std::numeric_limits<qint64>::max())) {
        value.kind = Value::Kind::UInt;
        value.UInt = u;
      } else {
        value.kind = Value::Kind::Int;
        value.Int = static_cast<qint64>(u);
      }
      break;
    }
    case StorageKind::Bool:
      value.kind = Value::Kind::Bool;
      value.Bool = FInts[r] != 0;
      break;
    case StorageKind::Double:
      value.kind = Value::Kind::Double;
      value.Double = FDoubles[r];
      break;
    case StorageKind::Date:
    case StorageKind::Time:
    case StorageKind::Timestamp:
      value.kind = Value::Kind::Date;
      value.Double = FDoubles[r];
      break;
    case StorageKind::Text: {
      const size_t begin = VarBegin(r);
      value.kind = Value::Kind::Text;
      value.Text = QString(reinterpret_cast<const QChar*>(FUnits.data() + begin),
                           static_cast<qsizetype>(FEnds[r] - begin));
      break;
    }
    case StorageKind::Bytes: {
      const size_t begin = VarBegin(r);
      value.kind = Value::Kind::Bytes;
      value.Bytes = QByteArray(FBytes.data() + begin, static_cast<qsizetype>(FEnds[r] - begin));
      break;
    }
    case StorageKind::Guid:
      value.kind = Value::Kind::Guid;
      value.Text = GuidText(FBytes.data() + VarBegin(r));
      break;
    case StorageKind::Decimal: {
      const size_t begin = VarBegin(r);
      const size_t length = FEnds[r] - begin;
      if (ParseDecimal(FBytes.data() + begin, length, value.Decimal)) {
        value.kind = Value::Kind::Decimal;
      } else {
        // Not a plain number (NaN, Infinity): keep the driver's text rather than lose it.
        value.kind = Value::Kind::Text;
        value.Text = QString::fromLatin1(FBytes.data() + begin, static_cast<qsizetype>(length));
      }
      break;
    }
  }
  return value;
}

bool ParseDecimal(const char* text, size_t length, DecimalValue& out) {
  size_t i = 0;
  while (i < length && text[i] == ' ') ++i;
  while (length > i && text[length - 1] == ' ') --length;
  DecimalValue result;
  if (i < length && (text[i] == '-' || text[i] == '+')) result.Negative = text[i++] == '-';
  bool point = false;
  bool any = false;
  for (; i < length; ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      result.Digits.append(c);
      if (point) ++result.Scale;
      any = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!any) return false;
  if (i < length) {
    if (text[i] != 'e' && text[i] != 'E') return false;
    ++i;
    bool negative = false;
    if (i < length && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i >= length) return false;
    int exponent = 0;
    for (; i < length; ++i) {
      if (text[i] < '0' || text[i] > '9' || exponent > 100000) return false;
      exponent = exponent * 10 + (text[i] - '0');
    }
    result.Scale += negative ? exponent : -exponent;
    if (result.Scale < 0) {
      result.Digits.append(QByteArray(-result.Scale, '0'));
      result.Scale = 0;
    }
  }
  out = std::move(result);
  return true;
}

// Days from 1970-01-01 of a date in the proleptic Gregorian calendar.
static qint64 DaysFromCivil(qint64 y, unsigned m, unsigned d) {
  y -= m <= 2 ? 1 : 0;
  const qint64 era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<qint64>(doe) - 719468;
}

double DaysSince1899(int year, int month, int day, double secondsOfDay) {
  const qint64 days =
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
      DaysFromCivil(1899, 12, 30);
  const double fraction = secondsOfDay / 86400.0;
  return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

QString GuidText(const char* bytes) {
  SQLGUID guid;
  std::memcpy(&guid, bytes, sizeof guid);
  QString text = QStringLiteral("{%1-%2-%3-")
                     .arg(guid.Data1, 8, 16, QLatin1Char('0'))
                     .arg(guid.Data2, 4, 16, QLatin1Char('0'))
                     .arg(guid.Data3, 4, 16, QLatin1Char('0'));
  for (int i = 0; i < 8; ++i) {
    if (i == 2) text += QLatin1Char('-');
    text += QStringLiteral("%1").arg(static_cast<unsigned char>(guid.Data4[i]), 2, 16,
                                     QLatin1Char('0'));
  }
  text += QLatin1Char('}');
  return text.toUpper();
}

}  // namespace ado
