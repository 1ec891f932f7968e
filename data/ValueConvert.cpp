#include "data/ValueConvert.h"

#include "base/Exceptions.h"
#include "data/DateTimeText.h"
#include "data/NumberText.h"
#include "data/RegionalSettings.h"

#include <cmath>

namespace valueconvert {

namespace {

// DISP_E_TYPEMISMATCH, the code of a refused conversion.
constexpr qint32 kTypeMismatch = static_cast<qint32>(0x80020005);

[[noreturn]] void Refuse(const char* target) {
  throw EOleException(
      QStringLiteral("Could not convert the value to %1").arg(QLatin1String(target)),
      kTypeMismatch);
}

QChar Separator() {
  return RegionalSettings::Current().DecimalSeparator;
}

}  // namespace

QString BytesAsUnits(const QByteArray& bytes) {
  const qsizetype units = bytes.size() / 2;
  QString text(units, Qt::Uninitialized);
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
  for (qsizetype i = 0; i < units; ++i)
    text[i] = QChar(static_cast<char16_t>(b[2 * i] | (b[2 * i + 1] << 8)));
  return text;
}

QString AnyText(const ado::Value& value) {
  using K = ado::Value::Kind;
  switch (value.kind) {
    case K::Null:
      return {};
    case K::Int:
      return numbertext::Integer(value.Int);
    case K::UInt:
      return numbertext::Unsigned(value.UInt);
    case K::Double:
      return numbertext::General(value.Double, Separator());
    case K::Currency:
      return numbertext::FixedPoint(value.Int, Separator());
    case K::Decimal:
      return numbertext::Decimal(value.Decimal, Separator());
    case K::Bool:
      return value.Bool ? QStringLiteral("True") : QStringLiteral("False");
    case K::Date:
      return datetimetext::DateTime(value.Double, RegionalSettings::Current());
    case K::Bytes:
      return BytesAsUnits(value.Bytes);
    case K::Text:
    case K::Guid:
      return value.Text;
  }
  return {};
}

QString IntegerText(const ado::Value& value) {
  using K = ado::Value::Kind;
  switch (value.kind) {
    case K::Null:
      return {};
    case K::Int:
      return numbertext::Integer(value.Int);
    case K::UInt:
      return numbertext::Unsigned(value.UInt);
    case K::Bool:
      return value.Bool ? QStringLiteral("1") : QStringLiteral("0");
    case K::Currency:
      return numbertext::Integer(value.Int / 10000);
    case K::Decimal: {
      // The whole part, exactly.
      ado::DecimalValue whole = value.Decimal;
      const int scale = whole.Scale > 0 ? whole.Scale : 0;
      whole.Digits.chop(qMin<qsizetype>(scale, whole.Digits.size()));
      whole.Scale = whole.Scale > 0 ? 0 : whole.Scale;
      return numbertext::Decimal(whole, u'.');
    }
    case K::Double:
    case K::Date: {
      const double d = std::trunc(value.Double);
      if (!std::isfinite(d) || std::fabs(d) >= 9.2e18) Refuse("an integer");
      return numbertext::Integer(static_cast<qint64>(d));
    }
    case K::Text: {
      bool ok = false;
      const qint64 i = value.Text.trimmed().toLongLong(&ok);
      if (ok) return numbertext::Integer(i);
      const quint64 u = value.Text.trimmed().toULongLong(&ok);
      if (ok) return numbertext::Unsigned(u);
      Refuse("an integer");
    }
    case K::Bytes:
    case K::Guid:
      Refuse("an integer");
  }
  return {};
}

double ToDouble(const ado::Value& value) {
  using K = ado::Value::Kind;
  switch (value.kind) {
    case K::Null:
      return 0;
    case K::Int:
      return static_cast<double>(value.Int);
    case K::UInt:
      return static_cast<double>(value.UInt);
    case K::Double:
    case K::Date:
      return value.Double;
    case K::Currency:
      return static_cast<double>(value.Int) / 10000.0;
    case K::Bool:
      return value.Bool ? 1 : 0;
    case K::Decimal: {
      const QString text = numbertext::Decimal(value.Decimal, u'.');
      return text.toDouble();
    }
    case K::Text: {
      bool ok = false;
      const double d = value.Text.trimmed().toDouble(&ok);
      if (ok) return d;
      Refuse("a number");
    }
    case K::Bytes:
    case K::Guid:
      Refuse("a number");
  }
  return 0;
}

bool ToBool(const ado::Value& value) {
  using K = ado::Value::Kind;
  switch (value.kind) {
    case K::Bool:
      return value.Bool;
    case K::Int:
    case K::Currency:
      return value.Int != 0;
    case K::UInt:
      return value.UInt != 0;
    case K::Text: {
      const QString t = value.Text.trimmed().toLower();
      if (t == u"true" || t == u"t" || t == u"1" || t == u"yes" || t == u"y") return true;
      if (t == u"false" || t == u"f" || t == u"0" || t == u"no" || t == u"n") return false;
      Refuse("a boolean");
    }
    case K::Null:
      return false;
    default:
      return ToDouble(value) != 0;
  }
}

}  // namespace valueconvert
