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
  if (value.kind == Value::Kind::Text || value.kind == Value::Kind::Guid) {
    ref.Data = reinterpret_cast<const char*>(value.Text.constData());
    ref.Size = value.Text.size();
    ref.Wide = true;
  } else if (value.kind == Value::Kind::Bytes) {
    ref.Data = value.Bytes.constData();
    ref.Size = value.Bytes.size();
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
  if (ref.kind == Value::Kind::Text || ref.kind == Value::Kind::Guid)
    value.Text = ref.TextString();
  else if (ref.kind == Value::Kind::Bytes)
    value.Bytes = ref.ByteArray();
  return value;
}

}  // namespace ado
