#include "platform/ado/OdbcText.h"

namespace ado {

QString FromSqlWChar(const SQLWCHAR* text, qsizetype units) {
  return QString(reinterpret_cast<const QChar*>(text), units);
}

std::vector<SQLWCHAR> ToSqlWChar(const QString& text) {
  std::vector<SQLWCHAR> result(static_cast<size_t>(text.size()) + 1, 0);
  const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
  for (qsizetype i = 0; i < text.size(); ++i) result[static_cast<size_t>(i)] = units[i];
  return result;
}

}  // namespace ado
