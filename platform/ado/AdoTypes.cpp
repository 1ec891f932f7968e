#include "platform/ado/AdoTypes.h"

namespace ado {

QString ValueRef::TextString() const {
  if (Wide) return QString(reinterpret_cast<const QChar*>(Data), Size);
  return QString::fromUtf8(Data, Size);
}

ValueRef RefOf(const Value& value) {
  ValueRef ref;
  ref.kind = value.kind;
  ref.Int = value.Int;
  ref.UInt = value.UInt;
  ref.Double = value.Double;
  ref.Bool = value.Bool;
  switch (value.kind) {
    case Value::Kind::Text:
    case Value::Kind::Guid:
      ref.Data = reinterpret_cast<const char*>(value.Text.constData());
      ref.Size = value.Text.size();
      ref.Wide = true;
      break;
    case Value::Kind::Bytes:
      ref.Data = value.Bytes.constData();
      ref.Size = value.Bytes.size();
      break;
    case Value::Kind::Decimal:
      ref.Decimal = &value.Decimal;
      break;
    default:
      break;
  }
  return ref;
}

Value ValueOf(const ValueRef& ref) {
  Value value;
  value.kind = ref.kind;
  value.Int = ref.Int;
  value.UInt = ref.UInt;
  value.Double = ref.Double;
  value.Bool = ref.Bool;
  switch (ref.kind) {
    case Value::Kind::Text:
    case Value::Kind::Guid:
      value.Text = ref.TextString();
      break;
    case Value::Kind::Bytes:
      value.Bytes = ref.ByteArray();
      break;
    case Value::Kind::Decimal:
      if (ref.Decimal) value.Decimal = *ref.Decimal;
      break;
    default:
      break;
  }
  return value;
}

}  // namespace ado
